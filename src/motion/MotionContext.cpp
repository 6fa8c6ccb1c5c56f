#include "motion/MotionContext.h"

namespace {
const MotionContext* gpPinnedContext = nullptr;
const MotionSource* gpSource = nullptr;
} // namespace

MotionContext MotionContext::Current() {
    if (gpPinnedContext != nullptr)
        return *gpPinnedContext;
    if (gpSource != nullptr)
        return gpSource->Motion();
    return MotionContext{};
}

void MotionSource::Set(const MotionSource* source) {
    gpSource = source;
}

const MotionSource* MotionSource::Get() {
    return gpSource;
}

ScopedMotionContext::ScopedMotionContext(const MotionContext& context)
    : m_Context(context), m_pPrevious(gpPinnedContext) {
    gpPinnedContext = &m_Context;
}

ScopedMotionContext::~ScopedMotionContext() {
    gpPinnedContext = m_pPrevious;
}

#include "motion/MotionContext.h"

namespace {
const MotionContext* gpPinnedContext = nullptr;
} // namespace

MotionContext MotionContext::Current() {
    return gpPinnedContext != nullptr ? *gpPinnedContext : MotionContext{};
}

ScopedMotionContext::ScopedMotionContext(const MotionContext& context)
    : m_Context(context), m_pPrevious(gpPinnedContext) {
    gpPinnedContext = &m_Context;
}

ScopedMotionContext::~ScopedMotionContext() {
    gpPinnedContext = m_pPrevious;
}

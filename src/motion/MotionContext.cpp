#include "motion/MotionContext.h"

#include "app/SaverApp.h"
#include "core/RegSettings.h"
#include "motion/ColourTable.h"
#include "scene/GLContext.h"
#include "scene/SceneWnd.h"

namespace {
const MotionContext* gpPinnedContext = nullptr;
}

MotionContext MotionContext::Current() {
    if (gpPinnedContext != nullptr)
        return *gpPinnedContext;
    MotionContext context;
    if (CSceneWnd* wnd = gApp.pSceneWnd()) {
        context.colourCount = wnd->Colours().colourCount();
        context.bandCount = wnd->Colours().bandCount();
        if (const GLContext* gl = wnd->GL())
            context.aspect = gl->Aspect();
    }
    if (const RegSettings* settings = gApp.pSettings()) {
        // A frame rate of 0 (no record yet) would make rates per frame infinite.
        if (settings->FramesPerSecond() > 0)
            context.framesPerSecond = static_cast<float>(settings->FramesPerSecond());
        context.performance1 = static_cast<float>(settings->Performance1());
    }
    return context;
}

ScopedMotionContext::ScopedMotionContext(const MotionContext& context)
    : m_Context(context), m_pPrevious(gpPinnedContext) {
    gpPinnedContext = &m_Context;
}

ScopedMotionContext::~ScopedMotionContext() {
    gpPinnedContext = m_pPrevious;
}

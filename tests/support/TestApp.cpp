#include "support/TestApp.h"

#include "app/SaverApp.h"
#include "core/MemoryProfileStore.h"
#include "core/RegSettings.h"
#include "host/offscreen/OffscreenHost.h"
#include "scene/GLContext.h"
#include "scene/SceneWnd.h"

#include <stdexcept>

TestApp::TestApp() : TestApp(Options{}) {}

TestApp::TestApp(const Options& options)
    : m_pHost(std::make_unique<OffscreenHost>(options.width, options.height, options.frameLimit)) {
    if (gApp.pSettings() != nullptr || gApp.pSceneWnd() != nullptr)
        throw std::logic_error("TestApp: gApp is already in use");
    auto store = std::make_unique<MemoryProfileStore>();
    store->SetRaw("FramesPerSecond", "25");
    store->SetRaw("Polygons", "2500");
    if (options.configure)
        options.configure(*store);
    m_pStore = store.get();
    gApp.Init(ModePreview, options.seed, std::move(store));
    auto wnd = std::make_unique<CSceneWnd>(*m_pHost);
    m_pWnd = wnd.get();
    gApp.InstallSceneWnd(std::move(wnd));
    m_pWnd->OnCreate();
    m_pWnd->OnSize(options.width, options.height);
}

TestApp::~TestApp() {
    gApp.Shutdown();
}

RegSettings& TestApp::Settings() const {
    return *gApp.pSettings();
}

bool TestApp::HasGL() const {
    return m_pWnd->GL() != nullptr && m_pWnd->GL()->IsOk();
}

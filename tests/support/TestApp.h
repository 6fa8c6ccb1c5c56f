#pragma once

#include <functional>
#include <memory>

class CSceneWnd;
class MemoryProfileStore;
class OffscreenHost;
class RegSettings;

// The application as a drawing run would have it, for tests that need GL or the scene
// window: gApp seeded and holding settings on a memory store, an off-screen host, and a
// created and sized scene window whose GL context is current. Everything is torn down when
// the object goes, so every test starts from a fresh gApp.
//
// The store holds a frame-rate record (25 frames per second, 2500 polygons) unless the
// configure callback changes it, so no run times the machine.
class TestApp {
public:
    struct Options {
        int width = 64;
        int height = 48;
        long seed = 1;
        int frameLimit = 1; // swaps before the host reports input, 0 for none
        // Called on the store before the settings load it.
        std::function<void(MemoryProfileStore&)> configure;
    };

    TestApp();
    explicit TestApp(const Options& options);
    ~TestApp();
    TestApp(const TestApp&) = delete;
    TestApp& operator=(const TestApp&) = delete;

    CSceneWnd& Wnd() const { return *m_pWnd; }
    OffscreenHost& Host() const { return *m_pHost; }
    RegSettings& Settings() const;
    MemoryProfileStore& Store() const { return *m_pStore; }
    // False when no GL context could be made (the test should skip or fail).
    bool HasGL() const;

private:
    std::unique_ptr<OffscreenHost> m_pHost;
    MemoryProfileStore* m_pStore = nullptr; // owned by gApp
    CSceneWnd* m_pWnd = nullptr;            // owned by gApp
};

#include "scene/Saver.h"

#include "core/Color.h"
#include "core/RegSettings.h"
#include "core/StopRequest.h"
#include "core/WeightedChoice.h"
#include "core/tvTimer.h"
#include "scene/Background.h"
#include "scene/GLContext.h"
#include "scene/SceneWnd.h"
#include "shapes/Shape.h"
#include "textures/TextureImage.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <numbers>

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Camera rate of a whole number of turns per cycle, so the camera ends where it began.
float TurnsPerCycle(int turns, int cycleFrames) {
    return static_cast<float>(kTwoPi * turns / cycleFrames);
}

} // namespace

long long Saver::CpuMsSince(std::clock_t start) {
    return static_cast<long long>(std::clock() - start) * 1000 / CLOCKS_PER_SEC;
}

Saver::Saver(CSceneWnd* wnd)
    : m_pWnd(wnd), m_Rand(wnd->RunRand().next()), m_ComposeStartMs(WallClockMs()) {
    const std::clock_t cpuStart = std::clock();
    m_pGL = m_pWnd ? m_pWnd->GL() : nullptr;
    m_FrameNumber = 0;
    m_FrameAtStart = 0;
    m_CycleFrames = CycleFramesFor(Settings().Speed());

    m_CamFreqX = TurnsPerCycle(m_Rand.below(4), m_CycleFrames);
    m_CamFreqY = TurnsPerCycle(m_Rand.below(4), m_CycleFrames);
    m_CamFreqZ = TurnsPerCycle(m_Rand.below(10), m_CycleFrames);
    m_CamAmpX = static_cast<float>(m_Rand.uniform() * 1.5);
    m_CamAmpY = static_cast<float>(m_Rand.uniform() * 1.5);
    m_CamAmpZ = static_cast<float>(m_Rand.uniform() * 1.5);

    m_Polygons = 0;
    m_Performance = Settings().Performance();
    ChooseKind();
    LoadPhoto();
    ChooseBackground();
    m_bDone = false;
    SetupGLState();
    SetupMaterials();
    m_SlowLimitMs = 12 * 1000;
    m_StartClock = WallClockMs(); // the shapes scene sets it again once it is composed
    m_BaseComposeCpuMs = CpuMsSince(cpuStart);
}

Saver::Saver(const Blank& blank)
    : m_pWnd(blank.wnd), m_Rand(blank.seed), m_CycleFrames(std::max(1, blank.cycleFrames)) {
    m_pGL = m_pWnd ? m_pWnd->GL() : nullptr;
}

Saver::~Saver() = default;

Primitives* Saver::Solids() const {
    return m_pGL != nullptr ? &m_pGL->Solids() : nullptr;
}

RegSettings& Saver::Settings() const {
    return *m_pWnd->Settings();
}

const ColourTable& Saver::Colours() const {
    return m_pWnd->Colours();
}

int Saver::CycleFramesFor(int speed) {
    return std::max(1, 1500 + (50 - speed) * 30);
}

void Saver::ChooseKind() {
    const RegSettings& settings = Settings();
    const bool images = m_pWnd && m_pWnd->HasImages();
    if (settings.ImageProb() == 100 && images) {
        m_Kind = KindPhoto;
        return;
    }
    float photo = 0.0f;
    if (images)
        photo =
            static_cast<float>(settings.ImageProb() * 33 / 100.0 * settings.PerformanceSlowest1());
    const float pattern = static_cast<float>(settings.Performance1() * 33);
    const float plain = 100.0f - photo - pattern;
    WeightedChoice kinds;
    kinds.setWeights({plain, photo, pattern}, false);
    m_Kind = kinds.choose(m_Rand, nullptr, 10);
}

void Saver::LoadPhoto() {
    if (m_Kind != KindPhoto)
        return;
    const bool recolour = m_Rand.flip() == 1;
    m_pPhoto = std::make_unique<TextureImage>(m_Rand, m_pWnd->NextImagePath(), m_pWnd->Width(),
                                              recolour ? &m_pWnd->Colours() : nullptr);
    if (!m_pPhoto->IsValid()) {
        m_pPhoto.reset();
        m_Kind = KindPlain;
    }
}

std::unique_ptr<TextureImage> Saver::TakePhoto() {
    return std::move(m_pPhoto);
}

void Saver::ChooseBackground() {
    const bool room = m_Kind != KindPlain || m_Rand.uniform() < Settings().FramesPerSecond() / 25.0;
    if (!room)
        return;
    m_pBackground = std::make_unique<Background>(m_Rand, m_Kind);
    m_Polygons += m_pBackground->PolygonCount();
}

void Saver::SetupGLState() {
    if (m_pGL == nullptr)
        return;
    m_pGL->SetProjection();
    m_pGL->SetModelView();
    m_pGL->SetBlend(false);
    m_pGL->SetupLights();
    glEnable(GL_LIGHTING);
    if (m_pBackground)
        m_pBackground->SetEmissive(m_pGL->IsEmissive());
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
}

void Saver::SetupMaterials() {
    for (const GLenum property : {GL_DIFFUSE, GL_AMBIENT, GL_SPECULAR}) {
        Color colour;
        colour.Set(0.0f, 0.0f, 0.0f, 0.0f);
        colour.RandomColor(m_Rand, false);
        if (m_pGL)
            glMaterialfv(GL_FRONT_AND_BACK, property, colour.Data());
    }
    const double u = m_Rand.uniform();
    m_Shininess = static_cast<float>((1.0 - u * u) * 128.0);
    if (m_pGL)
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m_Shininess);
}

void Saver::Frame() {
    if (m_pWnd->IsStopped())
        return;
    if (m_pGL)
        m_pGL->LookAtOrigin();
    if (m_pWnd->CanDraw())
        Draw();
    if (!m_pWnd->IsStopped())
        Finish();
}

void Saver::Finish() {
    // An ending run does not wait for the rasteriser.
    if (!m_pWnd->IsStopped() && !StopRequest::Raised())
        glFinish();
}

bool Saver::IsDone() const {
    return (m_pWnd && m_pWnd->IsStopped()) || m_bDone ||
           (m_pBackground && m_pBackground->IsAbandoned());
}

const Saver::ShapeList& Saver::Shapes() const {
    static const ShapeList none;
    return none;
}

std::optional<Saver::Rate> Saver::RateOfBurst(int frames, long long ms, int scenePolygons) {
    const double secs = static_cast<double>(ms) / 1000.0;
    if (secs < 1.0)
        return std::nullopt;
    const double rate = std::min(frames / secs + 1.0, double{MaxFramesPerSecond});
    const int fps = std::max(1, static_cast<int>(rate));
    // A scene at the cap earns a fifth more, so fast machines climb to what they afford.
    const int boost = fps == MaxFramesPerSecond ? MaxFramesPerSecond * 12 / 10 : fps;
    const long long polygons = static_cast<long long>(scenePolygons) * boost / MaxFramesPerSecond;
    // The cap keeps the budget within what the settings store (and an int) can hold.
    return Rate{fps, static_cast<int>(
                         std::clamp<long long>(polygons, MinPolygons, RegSettings::MaxPolygons))};
}

void Saver::Measure(tvTimer& meter) {
    const bool canDraw = m_pWnd->CanDraw();
    const int ms = meter.Elapsed();
    if (!canDraw)
        return;
    const std::optional<Rate> rate = RateOfBurst(m_FrameNumber - m_FrameAtStart, ms, m_Polygons);
    if (!rate || !m_pWnd->CanDraw())
        return;
    RegSettings& settings = Settings();
    settings.SetFramesPerSecond(rate->fps);
    settings.SetSlowestFramesPerSecond(std::min(settings.SlowestFramesPerSecond(), rate->fps));
    // How many times its polygons the burst could have drawn in its frame periods.
    const double periods = (m_FrameNumber - m_FrameAtStart) * (1000.0 / MaxFramesPerSecond);
    const double headroom =
        m_BurstBusyMs > 0 ? periods / static_cast<double>(m_BurstBusyMs) : RegSettings::MaxClimb;
    settings.SetMeasuredPolygons(rate->polygons, rate->fps, headroom);
}

long long Saver::WallClockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

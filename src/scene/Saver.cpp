#include "scene/Saver.h"

#include "colour/ColourTable.h"
#include "core/Color.h"
#include "core/RegSettings.h"
#include "core/StopRequest.h"
#include "core/WeightedChoice.h"
#include "core/tvTimer.h"
#include "scene/Background.h"
#include "scene/GLContext.h"
#include "scene/SceneView.h"
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

Saver::Saver(SceneSetup setup)
    : m_Setup(std::move(setup)), m_Rand(m_Setup.seed), m_ComposeStartMs(WallClockMs()) {
    const std::clock_t cpuStart = std::clock();
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
    ChooseBackground(LoadPhoto());
    m_bDone = false;
    SetupGLState();
    SetupMaterials();
    m_SlowLimitMs = 12 * 1000;
    m_StartClock = WallClockMs(); // the shapes scene sets it again once it is composed
    m_BaseComposeCpuMs = CpuMsSince(cpuStart);
}

Saver::~Saver() = default;

Primitives* Saver::Solids() const {
    return m_Setup.gl != nullptr ? &m_Setup.gl->Solids() : nullptr;
}

MotionContext Saver::Motion() const {
    MotionContext context;
    context.colourCount = m_Setup.colours->colourCount();
    context.bandCount = m_Setup.colours->bandCount();
    if (m_Setup.gl)
        context.aspect = m_Setup.gl->Aspect();
    const RegSettings& settings = Settings();
    // A frame rate of 0 (no record yet) would make rates per frame infinite.
    if (settings.FramesPerSecond() > 0)
        context.framesPerSecond = static_cast<float>(settings.FramesPerSecond());
    context.performance1 = static_cast<float>(settings.Performance1());
    return context;
}

RegSettings& Saver::Settings() const {
    return *m_Setup.settings;
}

const ColourTable& Saver::Colours() const {
    return *m_Setup.colours;
}

int Saver::CycleFramesFor(int speed) {
    return std::max(1, 1500 + (50 - speed) * 30);
}

void Saver::ChooseKind() {
    const RegSettings& settings = Settings();
    const bool images = static_cast<bool>(m_Setup.nextImagePath);
    if (settings.ImageProb() == 100 && images) {
        m_Kind = SceneKind::Photo;
        return;
    }
    float photo = 0.0f;
    if (images)
        photo =
            static_cast<float>(settings.ImageProb() * 33 / 100.0 * settings.PerformanceSlowest1());
    const float pattern = static_cast<float>(settings.Performance1() * 33);
    const float plain = 100.0f - photo - pattern;
    WeightedChoice kinds;
    // In the enumeration's order.
    kinds.setWeights({plain, photo, pattern}, false);
    m_Kind = static_cast<SceneKind>(kinds.choose(m_Rand, nullptr, 10));
}

std::unique_ptr<TextureImage> Saver::LoadPhoto() {
    if (m_Kind != SceneKind::Photo)
        return nullptr;
    const bool recolour = m_Rand.flip() == 1;
    auto photo = std::make_unique<TextureImage>(m_Rand, m_Setup.nextImagePath(), m_Setup.width);
    if (!photo->IsValid()) {
        m_Kind = SceneKind::Plain;
        return nullptr;
    }
    // The window's palette takes 25 bands from the picture; the table colours stay.
    if (recolour) {
        const RGBImage& pixels = *photo->Pixels();
        m_Setup.colours->BuildPhotoBands(pixels.width, pixels.height, pixels.bytes.data());
    }
    return photo;
}

void Saver::ChooseBackground(std::unique_ptr<TextureImage> photo) {
    const bool room =
        m_Kind != SceneKind::Plain || m_Rand.uniform() < Settings().FramesPerSecond() / 25.0;
    if (!room)
        return;
    m_pBackground = std::make_unique<Background>(m_Rand, m_Kind, std::move(photo));
    m_Polygons += m_pBackground->PolygonCount();
}

void Saver::SetupGLState() {
    GLContext* gl = m_Setup.gl;
    if (gl == nullptr)
        return;
    gl->SetProjection();
    gl->SetModelView();
    gl->SetBlend(false);
    gl->SetupLights(Settings().Performance(), Colours());
    glEnable(GL_LIGHTING);
    if (m_pBackground)
        m_pBackground->SetEmissive(gl->IsEmissive());
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
}

void Saver::SetupMaterials() {
    for (const GLenum property : {GL_DIFFUSE, GL_AMBIENT, GL_SPECULAR}) {
        Color colour;
        colour.Set(0.0f, 0.0f, 0.0f, 0.0f);
        colour.RandomColor(m_Rand, false);
        if (m_Setup.gl)
            glMaterialfv(GL_FRONT_AND_BACK, property, colour.Data());
    }
    const double u = m_Rand.uniform();
    m_Shininess = static_cast<float>((1.0 - u * u) * 128.0);
    if (m_Setup.gl)
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m_Shininess);
}

void Saver::Frame() {
    if (View().IsStopped())
        return;
    if (m_Setup.gl)
        m_Setup.gl->LookAtOrigin();
    if (View().CanDraw())
        Draw();
    if (!View().IsStopped())
        Finish();
}

void Saver::Finish() {
    // An ending run does not wait for the rasteriser.
    if (!View().IsStopped() && !StopRequest::Raised())
        glFinish();
}

bool Saver::IsDone() const {
    return View().IsStopped() || m_bDone || (m_pBackground && m_pBackground->IsAbandoned());
}

FrameContext Saver::ThisFrame() const {
    FrameContext frame;
    frame.clock = {m_FrameNumber, m_SceneTime, m_CycleFrames};
    frame.colours = m_Setup.colours;
    frame.solids = Solids();
    return frame;
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
    const bool canDraw = View().CanDraw();
    const int ms = meter.Elapsed();
    if (!canDraw)
        return;
    const std::optional<Rate> rate = RateOfBurst(m_FrameNumber - m_FrameAtStart, ms, m_Polygons);
    if (!rate || !View().CanDraw())
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

#include "scene/SaverShapes.h"

#include "core/Maths.h"
#include "core/RegSettings.h"
#include "core/StopRequest.h"
#include "core/tvTimer.h"
#include "scene/Background.h"
#include "scene/GLContext.h"
#include "scene/SceneView.h"
#include "shapes/Shape.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

float ScaleRate(Random& rng, int cycleFrames) {
    return static_cast<float>(rng.skewed(80, 3) * 2.0 * std::numbers::pi / cycleFrames);
}

} // namespace

ShapeContext SaverShapes::ShapeContextOf() const {
    ShapeContext context;
    context.kinds = m_Setup.kinds;
    context.settings = &Settings();
    context.colours = m_Setup.colours;
    context.gate = m_Setup.view;
    context.sceneKind = m_Kind;
    context.nextImagePath = m_Setup.nextImagePath;
    context.sceneWidth = m_Setup.width;
    context.sceneSize = std::max(m_Setup.width, m_Setup.height);
    context.motion = Motion();
    return context;
}

Background::Room SaverShapes::RoomOf() const {
    Background::Room room;
    room.performance = Performance();
    room.colours = m_Setup.colours;
    room.gate = m_Setup.view;
    room.sceneSize = std::max(m_Setup.width, m_Setup.height);
    return room;
}

SaverShapes::SaverShapes(SceneSetup setup) : SaverShapes(std::move(setup), nullptr) {}

SaverShapes::SaverShapes(SceneSetup setup, PrototypeFactory factory) : Saver(std::move(setup)) {
    std::vector<int> excluded;
    // The photograph cube: only in plain scenes of a window that has photographs.
    if (m_Kind != SceneKind::Plain || !m_Setup.nextImagePath)
        excluded.push_back(Shape::PhotoCubeKind());
    if (factory)
        m_Shapes.push_back(factory(m_Rand, Motion(), &excluded));
    else
        m_Shapes.push_back(Shape::Create(m_Rand, ShapeContextOf(), &excluded));
    m_bBlend = m_Shapes.front()->UsesShapeColor() && m_Rand.uniform() < 0.5;
    AddShapes();
    ChooseGroupScale();
    SetupShapes();
    m_StartClock = WallClockMs();
    m_SceneTimer.Reset();
}

SaverShapes::~SaverShapes() = default;

void SaverShapes::AddShapes() {
    const Shape& prototype = *m_Shapes.front();
    const int cost = prototype.PolygonCount();
    m_Polygons += cost;
    const int budget = Settings().Polygons();
    m_Polygons += prototype.GroupCount(budget);
    // A prototype that draws nothing is never cloned.
    if (cost <= 0)
        return;
    if (m_Polygons < budget)
        m_Shapes.reserve(m_Shapes.size() + static_cast<std::size_t>((budget - m_Polygons) / cost) +
                         1);
    // A run that is ending keeps what it built: a scene of fewer clones is never drawn.
    while (m_Polygons < budget && !Stopping()) {
        m_Shapes.push_back(prototype.Clone());
        m_Polygons += m_Shapes.back()->PolygonCount();
    }
}

void SaverShapes::ChooseGroupScale() {
    m_Scale.animated = m_Rand.uniform() < 0.15;
    do {
        m_bScaleX = m_Rand.flip() == 1;
        m_bScaleY = m_Rand.flip() == 1;
        m_bScaleZ = m_Rand.flip() == 1;
    } while (m_Scale.animated && !(m_bScaleX || m_bScaleY || m_bScaleZ));
    m_ScaleFreqX = ScaleRate(m_Rand, m_CycleFrames);
    m_ScaleFreqY = ScaleRate(m_Rand, m_CycleFrames);
    m_ScaleFreqZ = ScaleRate(m_Rand, m_CycleFrames);
    m_Scale.x = m_Scale.y = m_Scale.z = 1.0f;
}

FrameContext SaverShapes::ThisFrame() const {
    FrameContext frame = Saver::ThisFrame();
    frame.scale = m_Scale;
    frame.shapes = m_Shapes;
    return frame;
}

void SaverShapes::SetupShapes() {
    m_ColorStep = m_Rand.below(100) + 1;
    const int spread = m_Rand.skewed(32, 4) + 1;
    const FrameContext frame = ThisFrame();
    for (const auto& shape : m_Shapes) {
        if (Stopping()) {
            m_bDone = true; // shapes not set up are never drawn
            return;
        }
        shape->Setup(frame, m_ColorStep, spread);
    }
}

bool SaverShapes::Stopping() const {
    return StopRequest::Poll() || View().IsStopped();
}

int SaverShapes::LastFrame(int cycleFrames, int framesPerSecond) {
    return framesPerSecond < 15 ? cycleFrames * framesPerSecond / 25 : cycleFrames;
}

void SaverShapes::Draw() {
    if (m_Polygons == 0) {
        m_bDone = true;
        return;
    }
    if (m_Setup.gl)
        m_Setup.gl->SetBlend(m_bBlend);
    const int lastFrame = LastFrame(m_CycleFrames, Settings().FramesPerSecond());
    m_FrameAtStart = m_FrameNumber;
    m_BurstBusyMs = 0;
    tvTimer pace(FramePeriodMs);
    tvTimer meter;
    do {
        const long long drawStart = WallClockMs();
        if (!DrawFrame()) {
            m_bDone = m_bDone || !Stopping(); // its shapes stepped only in part
            break;
        }
        if (m_FrameNumber > lastFrame)
            m_bDone = true;
        else if (m_FrameNumber == SlowCheckFrame && m_SceneTimer.Peek() > m_SlowLimitMs)
            m_bDone = true; // too slow to be worth watching
        ++m_FrameNumber;
        const long long drawEnd = WallClockMs();
        // The run's first frame has no earlier one to keep its distance from: it goes up at
        // once, and the next is paced from it.
        if (View().HasShownFrame())
            Pace(pace);
        else
            pace.Reset();
        // An ending run does not wait for the rasteriser to finish a frame nobody will see.
        if (Stopping())
            break;
        const long long swapStart = WallClockMs();
        View().SwapBuffers();
        if (m_bPrepareAfterSwap) {
            m_bPrepareAfterSwap = false;
            PrepareShapeList(); // within the second frame's period
        }
        m_BurstBusyMs += drawEnd - drawStart + WallClockMs() - swapStart;
    } while (View().CanDraw() && !m_bDone);
    // Leave the last drawn frame on screen when input cut the burst after an odd frame.
    if (!m_bDone && !Stopping() && (m_FrameNumber - m_FrameAtStart) % 2 == 1)
        View().SwapBuffers();
    Measure(meter);
}

bool SaverShapes::DrawFrame() {
    m_SceneTime = static_cast<float>(m_FrameNumber);
    const float t = m_SceneTime;
    glPushMatrix();
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClear(GL_COLOR_BUFFER_BIT);
    PlaceCamera(t);
    if (m_pBackground) {
        m_pBackground->Draw(RoomOf());
        // Building the room on the first frame is long: a stop meanwhile ends the frame.
        if (StopRequest::Raised()) {
            glPopMatrix();
            return false;
        }
    }
    UpdateGroupScale(t);
    if (m_FrameNumber == 0) {
        if (View().HasShownFrame())
            PrepareShapeList();
        else
            m_bPrepareAfterSwap = true;
    }
    const FrameContext frame = ThisFrame();
    FrameSlices slices(WallClockMs());
    int sinceClock = 0;
    for (const auto& shape : m_Shapes) {
        shape->Draw(frame);
        if (StopRequest::Raised() || (++sinceClock >= ShapesPerClockRead && !slices.GoOn(*this))) {
            glPopMatrix();
            return false;
        }
        if (sinceClock >= ShapesPerClockRead)
            sinceClock = 0;
    }
    m_Shapes.front()->FrameUpdate(frame);
    glFlush();
    glPopMatrix();
    return true;
}

// Every SliceMs the shapes drawn so far go to the rasteriser, so that no more than a slice
// is queued when the frame ends or is abandoned, and the window is asked about input. A
// stop ends the frame at once; other input only once the frame is already late, so that
// events a window gets all the time (exposures, small mouse moves) never cost a frame.
bool SaverShapes::FrameSlices::GoOn(SaverShapes& scene) {
    const long long now = WallClockMs();
    if (now - m_SliceStart < SliceMs)
        return true;
    m_SliceStart = now;
    glFlush();
    if (scene.Stopping())
        return false;
    return now - m_FrameStart <= LateFrameMs || scene.View().CanDraw();
}

// Movers show a shape only once it has stepped, so the first frame draws the room alone and
// the second would pay for the first call of the shapes' list (the driver prepares its
// vertices and state then, up to several frame periods) in the middle of the scene. The first
// frame, already part of the wait between scenes, calls it twice where nothing can be drawn:
// a primitive solid is compiled into its cached list by the first call and replayed by the
// second, as every later frame replays it. A run's very first frame is what the user waits
// for: there the calls follow its swap, in the time the second frame waits for its turn.
void SaverShapes::PrepareShapeList() const {
    if (m_Shapes.empty() || m_Setup.gl == nullptr)
        return;
    GLint box[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 0, 0);
    for (int call = 0; call < 2; ++call)
        m_Shapes.front()->DrawAtOrigin(m_Setup.gl->Solids());
    glDisable(GL_SCISSOR_TEST);
    glScissor(box[0], box[1], box[2], box[3]);
}

void SaverShapes::PlaceCamera(float t) const {
    const double x = maths::Sin(double{m_CamFreqX * t}) * m_CamAmpX;
    const double y = maths::Sin(double{m_CamFreqY * t}) * m_CamAmpY;
    const double z = (maths::Cos(double{m_CamFreqZ * t}) + 1.0) / 2.0 * m_CamAmpZ + 0.1;
    gluLookAt(x, y, z, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
}

void SaverShapes::UpdateGroupScale(float t) {
    if (!m_Scale.animated)
        return;
    if (m_bScaleX)
        m_Scale.x = static_cast<float>(maths::Sin(double{m_ScaleFreqX * t}) + 1.5);
    if (m_bScaleY)
        m_Scale.y = static_cast<float>(maths::Sin(double{m_ScaleFreqY * t}) + 1.5);
    if (m_bScaleZ)
        m_Scale.z = static_cast<float>(maths::Sin(double{m_ScaleFreqZ * t}) + 1.5);
}

void SaverShapes::Pace(tvTimer& pace) const {
    if (!View().PacesFrames())
        return;
    // Sleep on the host's input wait for what is left of the period: input wakes it at
    // once, so the burst still ends within one frame.
    while (!pace.Expired() && View().CanDraw()) {
        const int left = FramePeriodMs + 1 - pace.Peek();
        View().WaitForInput(std::max(left, 1));
    }
}

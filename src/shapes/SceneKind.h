#pragma once

// What a scene shows around its shapes, drawn once per scene; the room and the shape
// factory read it.
enum class SceneKind {
    Plain = 0,   // a coloured room, or none
    Photo = 1,   // a room covered with a photograph
    Pattern = 2, // a room textured with a procedural pattern
};

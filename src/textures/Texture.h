#pragma once

class Random;

// What a shape or the room wears: a procedural image or a photograph, held by GL in a
// texture object made once (Upload). Apply then only binds it and sets the texture state for
// the geometry that follows, normally while the caller compiles its own display list, and
// leaves GL_TEXTURE_2D enabled: replaying the list never sends the image again. A list that
// calls Apply keeps using the texture object, so the texture must outlive every list
// compiled with it.
class Texture {
public:
    explicit Texture(Random& rng);
    virtual ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Makes the texture object if it is not made yet. Runs GL at once, so call it before
    // glNewList, never inside. False when the run is ending and the texture was given up
    // part-way: then there is nothing to apply.
    virtual bool Upload() { return true; }
    // False when the run is ending and nothing was issued (a texture given up part-way): a
    // list being compiled around it must then be dropped, never called.
    virtual bool Apply() const = 0;
    // False when there is nothing to show (a photograph that failed to load).
    virtual bool IsValid() const { return true; }

    // Textures alive in the process, for leak checks across scenes.
    static int LiveCount();

protected:
    Random& Rand() const { return *m_pRand; }

private:
    Random* m_pRand;
};

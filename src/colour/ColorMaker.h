#pragma once

#include "core/Color.h"
#include "core/FloatArray.h"

#include <memory>
#include <vector>

class ColourTable;
class DrawGate;
class Random;

// Turns a vertex parameter (a point of [-1, 1]^2) into a colour of the scene colour table,
// for meshes that colour each vertex. A maker keeps the table's size N from its making and
// looks the colours up at every call, so a rebuilt table recolours what comes next; the
// table must outlive the maker.
class ColorMaker {
public:
    ColorMaker(Random& rng, const ColourTable& table);
    virtual ~ColorMaker() = default;
    ColorMaker(const ColorMaker&) = delete;
    ColorMaker& operator=(const ColorMaker&) = delete;

    // Kinds 0 index, 1 calc, 2 const, 3 checkered, drawn with one choose(rng, excluded, 10);
    // a kind outside the table gives an index maker. gate, developerMode and sceneSize (the
    // scene window's larger side, pixels) reach the pattern a calc maker creates.
    static std::unique_ptr<ColorMaker> Create(Random& rng, const std::vector<int>* excluded,
                                              const ColourTable& table, DrawGate* gate = nullptr,
                                              bool developerMode = false, int sceneSize = 800);
    // The kinds' weights in kind order, as Create's choice holds them.
    static FloatArray KindWeights();

    virtual Color MakeColor(const FloatArray& parameter) = 0;
    // Tells the maker the size of the grid its colours will cover.
    virtual void Prepare(int rows, int columns);

    int ColourCount() const { return m_ColourCount; }

protected:
    // The table's colour at index (taken modulo the table's present size).
    Color TableColor(int index) const;
    Random& Rand() const { return *m_pRand; }
    const ColourTable& Table() const { return *m_pTable; }

    int m_ColourCount; // N when made, at least 1

private:
    Random* m_pRand;
    const ColourTable* m_pTable;
};

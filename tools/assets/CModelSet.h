#pragma once
// The 14 models of the Data folder, built in code from closed solids.
//
// Placement convention (how the game draws them; every model is built for it):
// - World units, z up, a cell is 2.5 units. The game draws the object of cell
//   (x, y) with its model origin at world (2.5 x, 2.5 y, 0); the map view shows
//   world x to the right and world y downwards.
// - The model origin is the centre of the object's anchor cell (its lowest-x,
//   lowest-y cell). A W x H object therefore covers local x from -1.25 to
//   2.5 W - 1.25 and y from -1.25 to 2.5 H - 1.25. Robots, lasers, shots and
//   pushing move magnets turn about the origin, so a 1 x 1 model centred on it
//   turns in place, and every object is at most half a cell from the cells it
//   occupies (the whole scene sits half a cell up and left of the pointer's
//   cell, which is what lets robots turn without leaving their cell).
// - Robots face local +y (turned by facing * pi/4); lasers aim their barrel
//   along local +y (turned by angle - pi/2); shots and pushing move magnets
//   point along local +x (turned by their angle). Shots are drawn 2 units up,
//   so "LaserShot.dat" is centred on z = 0.
// - The factory is drawn 1 unit to the -x side of its anchor, so its model is
//   shifted 1 unit towards +x.
// - "Map.dat" is one ground tile over x and y 0..40 at z = 0, drawn 4 x 4 times.

#include "tools/assets/CMeshBuilder.h"

#include <string>
#include <vector>

namespace Assets {

class CModelSet {
public:
    // The 14 file names, in the order the game loads them.
    static const std::vector<std::string>& Names();
    // Builds the model of that file name; throws std::runtime_error for an
    // unknown name.
    static CMeshBuilder Build(const std::string& name);
};

} // namespace Assets

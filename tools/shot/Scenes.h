#pragma once
// Fixed game scenes for pictures, tests and benchmarks. Each replaces the
// world of a constructed game (models and pictures, if loaded, stay) and
// seeds the random generator itself, so a scene is the same on every run.

class CGame;

// A small battle with every kind of object: both sides' robots, magnets
// and lasers near their factories, trees, a red shot half-way to a blue
// magnet, red move magnets of both kinds (attracting and pushing) and a
// blue one (never drawn). No tool is selected.
void BuildShowcaseScene(CGame& game);

// The heaviest state the rules allow for a tick and a frame: 1024 robots per
// side (red in the lower half of the field, blue in the upper), every free
// 2 x 2 area filled with a magnet or a laser of the side whose half it is
// in, 256 move magnets per side, the trees of a new game.
void BuildWorstCaseScene(CGame& game);

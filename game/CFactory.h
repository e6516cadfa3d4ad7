#pragma once

#include "game/CLocObject.h"

// A side's factory, 2 x 3 cells.
class CFactory : public CLocObject {};

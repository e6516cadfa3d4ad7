#include "engine/CVector.h"

#include <cmath>

#include "tlib/TException.h"

namespace Orvel {

CVector CVector::Normalise() const
{
    double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0)
        throw tlib::TException("CVector::Normalise() - Vector has length 0");
    return CVector(x / length, y / length, z / length);
}

} // namespace Orvel

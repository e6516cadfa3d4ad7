#pragma once
// Copy-on-write array of elements copied by assignment and destroyed by
// their destructors.

#include "tlib/TArray.h"
#include "tlib/TSmartArray.h"

namespace tlib {

template <class T>
class TSArray : public TSmartArray<TArray<T>, T> {
};

} // namespace tlib

#pragma once
// Copy-on-write array of plain (trivially copyable) records, moved as bytes.

#include "tlib/TFastArray.h"
#include "tlib/TSmartArray.h"

namespace tlib {

template <class T>
class TSFArray : public TSmartArray<TFastArray<T>, T> {
};

} // namespace tlib

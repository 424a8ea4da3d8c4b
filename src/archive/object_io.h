#pragma once

#include <memory>

#include "archive/archive.h"
#include "archive/object.h"

namespace kelcmd {

// Class-tagged object references. Within one archive classes and objects share a running index
// from 1, in order of first appearance. A reference is written as
//   0x0000                                   null;
//   0xFFFF, schema u16, name length u16, name  an object of a class not seen before, then its data;
//   0x8000 | class index                     an object of a class seen before, then its data;
//   object index                             an object already written (no data follows).
// Writing stores the object's data through its Serialize. A class without a name, or an archive
// that runs out of indices (above 0x7FFE), marks the archive failed.
void WriteObject(CArchive& archive, const CObject* object);

// Reads one reference and returns the new object, or null for a null reference. On any format
// error the archive is marked failed and null is returned; check Failed() to tell the two apart.
// Format errors: an unknown class name, a class not derived from `expectedBase` (null accepts any
// class), a stored schema that differs from the class's own, an index that names nothing, and a
// reference to an object already loaded: each loaded object has exactly one owner, the caller, so
// a second reference to it cannot be honoured.
std::unique_ptr<CObject> ReadObject(CArchive& archive, const CRuntimeClass* expectedBase);

// ReadObject for an expected class T, returned as T.
template <class T>
std::unique_ptr<T> ReadObjectAs(CArchive& archive) {
    std::unique_ptr<CObject> object = ReadObject(archive, T::StaticClass());
    return std::unique_ptr<T>(static_cast<T*>(object.release()));
}

}  // namespace kelcmd

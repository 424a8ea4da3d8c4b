#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "archive/archive.h"

namespace kelcmd {

class CObject;
struct CRuntimeClass;

// What one archive has seen of classes and objects so far. Classes and objects share one running
// index that starts at 1, in order of first appearance; index 0 is the null reference.
struct CArchive::ReferenceState {
    // Storing: the index given to each class and object already written.
    std::unordered_map<const CRuntimeClass*, uint32_t> storedClasses;
    std::unordered_map<const CObject*, uint32_t> storedObjects;

    // Loading: for each index, the class it names, or null when it names an object.
    std::vector<const CRuntimeClass*> loaded{nullptr};

    uint32_t nextIndex = 1;
};

}  // namespace kelcmd

// The heap of a process that runs one operation on a module file and ends: the command line.
#pragma once

namespace quillmere {

// Prepares the heap for a model of a large module: the heap is reserved in one step and, where
// the system offers it, backed by huge pages, and large blocks come from it too. Loading 100,000
// records builds some 25 MB of small blocks; touched page by page, each first touch is a fault
// the system pays for separately, and on a virtual machine that is most of the derivation's time.
// Only for a short-lived process, at its start: blocks given back stay with the process. Does
// nothing where the C library or the system offers no such setting.
void PrepareHeapForLargeModules();

}  // namespace quillmere

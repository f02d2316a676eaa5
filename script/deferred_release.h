// Releasing an object releases what it holds, which may release further objects: a long chain
// (a linked list of class instances, dictionaries nested in dictionaries) would nest one
// destructor per link on the native stack. Past a small nesting depth, objects wait in a list
// that the outermost release works through, so the stack stays flat. Short chains keep the
// natural order: the holder goes first, then what it held.
#pragma once

namespace qz {

class Object;

// Runs finish(o) now, or after the releases it is nested in when they are already deep.
void release_flat(Object* o, void (*finish)(Object*));

}  // namespace qz

// The editable description of a version block: a keyed collection holding "FindLng", "SaveLng",
// the thirteen fixed-information fields, "Tables" (string tables keyed by name, each holding
// entry collections with "Key" and "Value"), "EnumLng" (translations as 8 hex digits) and
// "EnumTables" (table names in block order). Scripts hold and edit it as ordinary collections,
// so every operation here is late-bound and survives whatever a script put in it.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "com/variant.h"
#include "formats/pe/version_block.h"

namespace qz::pe {

// Sets entry `key` of the collection to `value`: adds it when missing (even an Empty value);
// otherwise a non-Empty value replaces it (moving it to the end). Never raises.
void modify_member(const Variant& collection, std::u16string_view key, const Variant& value);

// Completes `tree` (a new collection when it holds no object) and tells whether it holds a
// string table, which makes the next version update a write. Never raises.
bool new_version_tree(Variant& tree);

// Fills a tree completed by new_version_tree from a parsed block.
void read_version_tree(const Variant& tree, const VersionBlock& block);

// Replaces the fixed information, translations and tables of `block` by the tree's.
void apply_version_tree(const Variant& tree, VersionBlock& block);

// One edit of the kind the make builder's "version" lines ask for: with no section an entry of
// the tree, with a section but no table an entry of that collection, with both a string of
// that table ("add" adds it, "remove" removes it, anything else sets its value). Failures
// leave the tree as it was. Never raises.
void edit_version_tree(const Variant& tree, std::u16string_view action, std::u16string_view section,
                       std::u16string_view table, std::u16string_view key, const Variant& value);

// The language a tree entry ("FindLng", "SaveLng") names: 0 when Empty, nullopt when missing or
// not a number from 0 to 65535.
std::optional<uint16_t> tree_language(const Variant& tree, std::u16string_view key);

}  // namespace qz::pe

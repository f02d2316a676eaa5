// What tests and the toolkit may ask of a skinned button beyond its script members: the cell
// counts of its picture strips (a strip keeps the counts it starts with, one cell, unless the
// toolkit cuts it otherwise) and its current state.
#pragma once

namespace qz {

class SkinStrips {
 public:
  virtual ~SkinStrips() = default;
  // Strips: 0 default, 1 default mask, 2 hover, 3 hover mask, 4 down, 5 down mask.
  virtual void set_strip_cells(int strip, int columns, int rows) = 0;
  // 0 default, 1 hover, 2 down.
  virtual int state() const = 0;
};

}  // namespace qz

// A gap buffer: a growable array whose insertions and deletions near the last
// edit cost only the size of the change plus the distance the gap moves. The text
// control keeps its bytes and its line starts in it. No Windows header here.
#pragma once
#include <cstring>
#include <type_traits>
#include <vector>

namespace rv::textctl {

template <typename T>
class SplitVector {
  static_assert(std::is_trivially_copyable<T>::value, "plain values only");

 public:
  int Length() const { return lengthBody_; }

  T ValueAt(int pos) const {
    if (pos < 0 || pos >= lengthBody_) return T();
    return pos < part1Length_ ? body_[pos] : body_[pos + gapLength_];
  }
  T& operator[](int pos) { return pos < part1Length_ ? body_[pos] : body_[pos + gapLength_]; }
  const T& operator[](int pos) const {
    return pos < part1Length_ ? body_[pos] : body_[pos + gapLength_];
  }

  void Insert(int pos, T value) { InsertRange(pos, &value, 1); }

  void InsertRange(int pos, const T* values, int count) {
    if (count <= 0) return;
    RoomFor(count);
    GapTo(pos);
    std::memcpy(body_.data() + part1Length_, values, sizeof(T) * count);
    part1Length_ += count;
    lengthBody_ += count;
    gapLength_ -= count;
  }

  // Inserts count copies of value.
  void InsertFill(int pos, T value, int count) {
    if (count <= 0) return;
    RoomFor(count);
    GapTo(pos);
    for (int i = 0; i < count; ++i) body_[part1Length_ + i] = value;
    part1Length_ += count;
    lengthBody_ += count;
    gapLength_ -= count;
  }

  // Makes room so that inserting `count` more values allocates nothing; a
  // failure (bad_alloc) leaves the contents as they were.
  void EnsureRoom(int count) { RoomFor(count); }

  void Delete(int pos) { DeleteRange(pos, 1); }

  void DeleteRange(int pos, int count) {
    if (count <= 0 || pos < 0 || pos + count > lengthBody_) return;
    if (pos == 0 && count == lengthBody_) {
      Clear();
      return;
    }
    GapTo(pos);
    lengthBody_ -= count;
    gapLength_ += count;
  }

  void Clear() {
    body_.clear();
    lengthBody_ = part1Length_ = gapLength_ = 0;
  }

  // Copies [pos, pos + count) into out, across the gap.
  void GetRange(T* out, int pos, int count) const {
    if (count <= 0) return;
    int first = 0;
    if (pos < part1Length_) {
      first = part1Length_ - pos < count ? part1Length_ - pos : count;
      std::memcpy(out, body_.data() + pos, sizeof(T) * first);
    }
    if (first < count) {
      int from = pos + first + gapLength_;
      std::memcpy(out + first, body_.data() + from, sizeof(T) * (count - first));
    }
  }

  // Moves the gap to the end and returns the body as one array followed by one
  // zero value. Valid until the next change.
  const T* BufferPointer() {
    RoomFor(1);
    GapTo(lengthBody_);
    body_[lengthBody_] = T();
    return body_.data();
  }

  // The body in place as the part before the gap and the part after it; the gap
  // does not move. Valid until the next change.
  void Parts(const T*& part1, int& length1, const T*& part2, int& length2) const {
    part1 = body_.data();
    length1 = part1Length_;
    part2 = body_.data() + part1Length_ + gapLength_;
    length2 = lengthBody_ - part1Length_;
  }

  // Adds delta to every element of [from, to).
  void AddToRange(int from, int to, T delta) {
    for (int i = from; i < to && i < part1Length_; ++i) body_[i] += delta;
    int start = from > part1Length_ ? from : part1Length_;
    for (int i = start; i < to; ++i) body_[i + gapLength_] += delta;
  }

 private:
  // invariant: gapLength_ == body_.size() - lengthBody_
  std::vector<T> body_;
  int lengthBody_ = 0;
  int part1Length_ = 0;  // elements before the gap
  int gapLength_ = 0;

  void GapTo(int pos) {
    if (pos == part1Length_) return;
    T* data = body_.data();
    if (pos < part1Length_) {
      std::memmove(data + pos + gapLength_, data + pos, sizeof(T) * (part1Length_ - pos));
    } else {
      std::memmove(data + part1Length_, data + part1Length_ + gapLength_,
                   sizeof(T) * (pos - part1Length_));
    }
    part1Length_ = pos;
  }

  void RoomFor(int count) {
    if (gapLength_ > count) return;  // keeps one spare slot for BufferPointer's zero
    size_t grow = body_.size() / 2 + 64;
    if (grow < static_cast<size_t>(count) + 1) grow = count + 1;
    GapTo(lengthBody_);
    body_.resize(body_.size() + grow);
    gapLength_ += static_cast<int>(grow);
  }
};

}  // namespace rv::textctl

#pragma once

#include <ostream>
#include <sstream>
#include <string>
#include <type_traits>

#include "Fatal.h"

class Point;
Point average(const Point* pts, int n);  // Point.h

// A growable array of geometry values (ListOfPoints, ListOfProjPoints, ListOfVectors): the
// storage grows by `increment` slots at a time, indexing is bounds-tested, and the list owns its
// storage exclusively (copies are deep). Free slots hold default-constructed elements.
//
// Each element type supplies, through ListTraits, the name used in the index message and whether
// the list's stream output ends with a line end.
template <class T>
struct ListTraits;

template <class T>
class ListOf {
 public:
  ListOf() = default;
  ListOf(const T* items_, int n) {
    for (int i = 0; i < n; ++i) add(items_[i]);
  }
  ListOf(const ListOf& other) : increment(other.increment) { add(other); }
  ListOf& operator=(const ListOf& other) {
    if (&other == this) return *this;
    release();
    increment = other.increment;
    add(other);
    return *this;
  }
  virtual ~ListOf() { release(); }

  int length() const { return count; }

  // Appends a copy of p. The copy is taken before the storage grows, so p may be an element of
  // this list; if the growth fails, the list is left as it was.
  void add(const T& p) {
    if (count < capacity) {
      items[count++] = p;
      return;
    }
    const T copy = p;
    T* grown = new T[static_cast<unsigned>(capacity + increment)];
    for (int i = 0; i < count; ++i) grown[i] = items[i];
    delete[] items;
    items = grown;
    capacity += increment;
    items[count++] = copy;
  }

  // Appends every element of other, in order; other may be this list.
  void add(const ListOf& other) {
    const int n = other.count;
    for (int i = 0; i < n; ++i) add(other[i]);
  }

  // Element i; an index outside 0..length()−1 is a fatal error: exit status 200.
  T& operator[](int i) {
    check(i);
    return items[i];
  }
  const T& operator[](int i) const {
    check(i);
    return items[i];
  }

  // Copies of the elements from index `from` up to, not including, `to`; the caller keeps
  // 0 ≤ from and to ≤ length(). from ≥ to gives an empty list.
  ListOf operator()(int from, int to) const {
    ListOf part;
    for (int i = from; i < to; ++i) part.add(items[i]);
    return part;
  }

  // The mean of the elements, as average() of Point.h computes it; lists of points only.
  template <class U = T, class = std::enable_if_t<std::is_same_v<U, Point>>>
  U average() const {
    return ::average(items, count);
  }

  int getCapacity() const { return capacity; }

 private:
  void check(int i) const {
    if (i < 0 || i >= count) {
      std::ostringstream text;
      text << ListTraits<T>::name << " array index [" << i << "] is out of bounds [0," << count - 1
           << "]" << std::endl
           << std::endl;
      geometryFatal(text.str());
    }
  }

  void release() {
    if (capacity > 0) delete[] items;
    items = nullptr;
    count = 0;
    capacity = 0;
  }

  T* items = nullptr;  // capacity slots; the first count are in use
  int count = 0;
  int capacity = 0;
  int increment = 64;
};

// "( e1, e2, ... )", each element in its own format; some lists add a line end (see ListTraits).
template <class T>
std::ostream& operator<<(std::ostream& out, const ListOf<T>& list) {
  out << "( ";
  for (int i = 0; i < list.length(); ++i) {
    if (i > 0) out << ", ";
    out << list[i];
  }
  out << " )";
  if (ListTraits<T>::endsWithLine) out << std::endl;
  return out;
}

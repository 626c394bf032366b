#pragma once

#include <cstddef>

#include "LinkNode.h"

// One object of a model: a chain of records, the first of which is the lead record, and the
// link to the next object of the model. The object owns its records; the model owns the object.
//
// The object carries a cursor (`current`). The getters and setters act on the record under the
// cursor and require one, that is, an object with at least one record.
class LinkNodeHolder {
 public:
  LinkNodeHolder() = default;
  ~LinkNodeHolder();
  LinkNodeHolder(const LinkNodeHolder&) = delete;
  LinkNodeHolder& operator=(const LinkNodeHolder&) = delete;
  // Objects come from a pool (Pool.h).
  static void* operator new(std::size_t size);
  static void operator delete(void* object, std::size_t size) noexcept;

  // Puts the cursor on the first record (the lead record); null on an empty object.
  void reset() { current = first; }
  LinkNodeHolder* getNext() const { return next; }
  void setNext(LinkNodeHolder* h) { next = h; }
  // Whether the cursor stands on a record (false only on an empty object).
  bool hasCurent() const { return current != nullptr; }
  // Whether another object follows this one in the model (not about the records).
  bool hasNextCursor() const { return next != nullptr; }
  LinkNode* getCurrent() const { return current; }

  float getX() const { return current->x; }
  float getY() const { return current->y; }
  float getZ() const { return current->z; }
  float getW() const { return current->w; }
  void setX(float v) { current->x = v; }
  void setY(float v) { current->y = v; }
  void setZ(float v) { current->z = v; }
  void setW(float v) { current->w = v; }

  // Whether the record under the cursor has a successor.
  bool hasNext() const { return current->getNext() != nullptr; }
  // Moves the cursor to the next record and returns true; on the last record returns false
  // and leaves the cursor where it is.
  bool advance();
  // Links a new record after the record under the cursor and moves the cursor onto it. The
  // reader only ever adds with the cursor on the last record, so in practice this appends.
  void add(float x, float y, float z, float w);

 private:
  LinkNodeHolder* next = nullptr;  // following object of the model; null on the last object
  LinkNode* first = nullptr;       // lead record; null while the object is empty
  LinkNode* last = nullptr;        // record added last
  LinkNode* current = nullptr;     // the cursor
};

#pragma once

#include "LinkNodeHolder.h"

// A model: a chain of objects with a cursor. The model owns its objects and deletes them
// (and so their records) when it is destroyed. The cursor operations other than reset() and
// hasCurent() require a cursor, that is, a model with at least one object.
class LNHHolder {
 public:
  LNHHolder() = default;
  ~LNHHolder();
  LNHHolder(const LNHHolder&) = delete;
  LNHHolder& operator=(const LNHHolder&) = delete;

  // Puts the cursor on the first object; null on an empty model.
  void reset() { current = first; }
  bool hasCurent() const { return current != nullptr; }
  LinkNodeHolder* getCurrent() const { return current; }
  // Whether the object under the cursor has a successor.
  bool hasNext() const { return current->getNext() != nullptr; }
  // The same truth value as hasNext(), asked of the object itself.
  bool isNotLast() const { return current->hasNextCursor(); }
  // Moves the cursor to the next object and returns true; on the last object returns false.
  bool advance();
  // Takes ownership of h and links it after the object under the cursor, which becomes h.
  void add(LinkNodeHolder* h);

 private:
  LinkNodeHolder* first = nullptr;    // null while the model is empty
  LinkNodeHolder* last = nullptr;     // object added last
  LinkNodeHolder* current = nullptr;  // the cursor
};

#pragma once

#include "LNHHolder.h"

// The model walk: the one loop by which operations visit objects and records. Each record from
// the cursor on is visited exactly once, whatever the length of the object, and empty objects
// and models are passed over.

// Visits the object's records from its cursor to the last one, then puts the cursor back on the
// lead record. `visit` reads and writes the record through the object's cursor.
template <class Visit>
void walkRecords(LinkNodeHolder& object, Visit&& visit) {
  if (object.hasCurent()) {
    do {
      visit(object);
    } while (object.advance());
  }
  object.reset();
}

// Visits the object's vertices: every record after the lead record.
template <class Visit>
void walkVertices(LinkNodeHolder& object, Visit&& visit) {
  object.reset();
  if (object.hasCurent() && object.advance()) {
    walkRecords(object, visit);
  } else {
    object.reset();
  }
}

// Visits the object's vertices, as LinkNodes, without moving its cursor, which stands on the lead
// record: several threads may read one object so at once.
template <class Visit>
void readVertices(const LinkNodeHolder& object, Visit&& visit) {
  if (!object.hasCurent()) return;
  for (const LinkNode* r = object.getCurrent()->getNext(); r != nullptr; r = r->getNext()) {
    visit(*r);
  }
}

// Visits every object from the model's cursor to the last, each with its cursor on the lead
// record. Leaves the model's cursor on the last object.
template <class Visit>
void walkObjects(LNHHolder& model, Visit&& visit) {
  if (!model.hasCurent()) return;
  do {
    LinkNodeHolder& object = *model.getCurrent();
    object.reset();
    visit(object);
    object.reset();
  } while (model.advance());
}

#include "LNHHolder.h"

LNHHolder::~LNHHolder() {
  LinkNodeHolder* object = first;
  while (object != nullptr) {
    LinkNodeHolder* following = object->getNext();
    delete object;
    object = following;
  }
}

bool LNHHolder::advance() {
  if (current->getNext() == nullptr) return false;
  current = current->getNext();
  return true;
}

void LNHHolder::add(LinkNodeHolder* h) {
  if (first == nullptr) {
    first = h;
  } else {
    current->setNext(h);
  }
  current = h;
  last = h;
}

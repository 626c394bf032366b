#include "LinkNode.h"

LinkNode::LinkNode(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

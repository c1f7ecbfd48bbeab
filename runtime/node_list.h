// Doubly linked lists of MainHeap nodes reached through one head pointer (the newest
// node). Each node is the two links followed by the caller's element.
#pragma once

#include <cstddef>

struct NodeLinks {
  NodeLinks* older;
  NodeLinks* newer;
};

// The head of a list: the newest node, or null for an empty list.
using NodeList = NodeLinks*;

// Allocates a zero-filled node of size bytes (the links included), puts it in front of
// the newest node and returns its element. Null when MainHeap cannot supply the node.
void* NodeListAdd(NodeList* head, std::size_t size);
void NodeListRemove(NodeList* head, void* element);

NodeLinks* NodeOf(void* element);
void* NodeElement(NodeLinks* node);
// True when element is the element of a node of this list; reads only the list's own nodes.
bool NodeListContains(NodeList head, const void* element);

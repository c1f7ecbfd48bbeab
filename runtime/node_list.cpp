#include "runtime/node_list.h"

#include "runtime/heaps.h"

NodeLinks* NodeOf(void* element) { return static_cast<NodeLinks*>(element) - 1; }

void* NodeElement(NodeLinks* node) { return node + 1; }

void* NodeListAdd(NodeList* head, std::size_t size) {
  if (size < sizeof(NodeLinks)) size = sizeof(NodeLinks);
  auto* node = static_cast<NodeLinks*>(MainHeapAllocZero(size));
  if (node == nullptr) return nullptr;
  node->older = *head;
  if (*head != nullptr) (*head)->newer = node;
  *head = node;
  return NodeElement(node);
}

void NodeListRemove(NodeList* head, void* element) {
  NodeLinks* node = NodeOf(element);
  if (node == *head) {
    *head = node->older;
    if (*head != nullptr) (*head)->newer = nullptr;
  } else {
    if (node->newer != nullptr) node->newer->older = node->older;
    if (node->older != nullptr) node->older->newer = node->newer;
  }
  MainHeapFree(node);
}

bool NodeListContains(NodeList head, const void* element) {
  for (NodeLinks* node = head; node != nullptr; node = node->older) {
    if (NodeElement(node) == element) return true;
  }
  return false;
}

// A map from names to values, ordered by name, whose copies share their nodes: a copy costs O(1),
// and inserting into one copy copies only the O(log n) nodes on its path that another copy still
// shares, so every other copy keeps answering as before. Nodes no other copy shares are changed in
// place.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

namespace vrel {

template <class Value>
class PersistentMap {
 public:
  // The value bound to `key`, or null. It stays valid while this map is not changed.
  const Value* find(std::string_view key) const {
    for (const Node* node = root_.get(); node;) {
      int order = key.compare(node->binding->key);
      if (order == 0) return &node->binding->value;
      node = (order < 0 ? node->left : node->right).get();
    }
    return nullptr;
  }

  // Binds `key` to `value`, replacing any earlier binding of `key` in this map.
  void insert(std::string_view key, Value value) {
    insertAt(root_, std::make_shared<const Binding>(Binding{std::string(key), std::move(value)}));
  }

 private:
  struct Binding {
    std::string key;
    Value value;
  };
  using BindingPtr = std::shared_ptr<const Binding>;

  // An AVL tree node: the heights of its subtrees differ by at most one. Copying a node copies
  // only pointers; the bindings themselves are shared.
  struct Node;
  using Ptr = std::shared_ptr<Node>;
  struct Node {
    BindingPtr binding;
    Ptr left;
    Ptr right;
    int height;
  };

  static int height(const Ptr& node) { return node ? node->height : 0; }

  static void updateHeight(Node& node) {
    node.height = 1 + std::max(height(node.left), height(node.right));
  }

  // Makes `slot` a node that no other map shares, so that it can be changed.
  static void own(Ptr& slot) {
    if (slot.use_count() > 1) slot = std::make_shared<Node>(*slot);
  }

  static void rotateRight(Ptr& slot) {
    own(slot);
    own(slot->left);
    Ptr left = std::move(slot->left);
    slot->left = std::move(left->right);
    updateHeight(*slot);
    left->right = std::move(slot);
    updateHeight(*left);
    slot = std::move(left);
  }

  static void rotateLeft(Ptr& slot) {
    own(slot);
    own(slot->right);
    Ptr right = std::move(slot->right);
    slot->right = std::move(right->left);
    updateHeight(*slot);
    right->left = std::move(slot);
    updateHeight(*right);
    slot = std::move(right);
  }

  // Restores the height rule at an owned node whose subtrees differ in height by at most two.
  static void rebalance(Ptr& slot) {
    Node& node = *slot;
    int tilt = height(node.left) - height(node.right);
    if (tilt > 1) {
      if (height(node.left->left) < height(node.left->right)) rotateLeft(node.left);
      rotateRight(slot);
    } else if (tilt < -1) {
      if (height(node.right->right) < height(node.right->left)) rotateRight(node.right);
      rotateLeft(slot);
    } else {
      updateHeight(node);
    }
  }

  static void insertAt(Ptr& slot, const BindingPtr& binding) {
    if (!slot) {
      slot = std::make_shared<Node>(Node{binding, nullptr, nullptr, 1});
      return;
    }
    own(slot);
    int order = binding->key.compare(slot->binding->key);
    if (order == 0) {
      slot->binding = binding;
      return;
    }
    insertAt(order < 0 ? slot->left : slot->right, binding);
    rebalance(slot);
  }

  Ptr root_;
};

}  // namespace vrel

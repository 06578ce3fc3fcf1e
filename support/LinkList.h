#pragma once
// LinkListObj: the program's general container, a doubly linked list of
// fixed-size items with one cursor. Every list of records (sites, cameras,
// observations, catalog stars, reference stars, help topics, regions) is a
// LinkListObj<Rec> or a descendant of it.
//
// The list owns one copy of each item, in a node of its own, so the item
// pointers it hands out stay valid (and may be changed in place) until that
// item is deleted or the list is cleared; inserting or deleting other items
// never moves them.
//
// Ordered kinds derive from LinkListObj<Rec> and override SameKey and
// KeyGreater; only they may call InsertSorted and Replace. On a plain list
// those two comparisons throw std::logic_error.
//
//   class SiteRecList : public LinkListObj<SiteRec> {
//    public:
//     bool SameKey(const SiteRec& a, const SiteRec& b) const override;
//     bool KeyGreater(const SiteRec& a, const SiteRec& b) const override;
//   };
//
// Iteration: Reset, then Next until it returns nullptr; or index loops from 0
// to LastIndex() with Item(i). Both move the cursor. begin()/end() walk the
// items in order without touching the cursor.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <new>
#include <utility>

namespace hv {

namespace linklist_detail {
[[noreturn]] void ThrowNoKeyOrder();
}  // namespace linklist_detail

// A key comparison that never matches: for ordered kinds whose equal keys are
// still distinct items (the catalog star list).
template <class T>
bool NoKeyMatch(const T&, const T&) {
  return false;
}

template <class T>
class LinkListObj {
 public:
  struct LinkNode {
    LinkNode* Next = nullptr;  // nullptr at the tail
    LinkNode* Prev = nullptr;  // nullptr at the head
    T Item;                    // the node's own copy of the item

    template <class... A>
    explicit LinkNode(A&&... args) : Item(std::forward<A>(args)...) {}
  };

  LinkListObj() = default;  // an empty list without cursor
  virtual ~LinkListObj() { Clear(); }

  // Copies every item; the copy's cursor stands at the same index.
  LinkListObj(const LinkListObj& other) { CopyFrom(other); }
  LinkListObj& operator=(const LinkListObj& other) {
    if (this != &other) {
      LinkListObj tmp(other);
      Swap(tmp);
    }
    return *this;
  }
  // Moving keeps the nodes, so item pointers stay valid in the new owner.
  LinkListObj(LinkListObj&& other) noexcept { Swap(other); }
  LinkListObj& operator=(LinkListObj&& other) noexcept {
    if (this != &other) {
      Clear();
      Swap(other);
    }
    return *this;
  }

  // --- comparisons of ordered kinds ---
  // A and B have the same key.
  virtual bool SameKey(const T& a, const T& b) const { linklist_detail::ThrowNoKeyOrder(); }
  // A orders after B.
  virtual bool KeyGreater(const T& a, const T& b) const { linklist_detail::ThrowNoKeyOrder(); }

  // --- state ---
  // Index of the cursor's item (0 = first), -1 without cursor.
  std::int32_t CurIndex() const { return cur_index_; }
  // Index of the last item (count - 1), -1 when empty.
  std::int32_t LastIndex() const { return last_index_; }
  std::int32_t Count() const { return last_index_ + 1; }
  static constexpr std::size_t ItemSize() { return sizeof(T); }
  bool IsEmpty() const { return head_ == nullptr; }
  // The cursor is on the head (also true for an empty list without cursor).
  bool AtFirst() const { return current_ == head_; }
  // The cursor is on the tail (the end test of iterations; also true for an
  // empty list without cursor).
  bool AtLast() const { return current_ == tail_; }
  // The cursor's item, nullptr without cursor.
  T* CurrentItem() const { return current_ ? &current_->Item : nullptr; }

  // --- changes ---
  // Empty, no cursor. Items are freed from the tail back.
  void Clear() {
    while (tail_ != nullptr) {
      LinkNode* n = tail_;
      tail_ = n->Prev;
      delete n;
    }
    head_ = current_ = nullptr;
    cur_index_ = last_index_ = -1;
  }

  // A copy becomes the first item; the cursor goes to it. Returns the copy.
  T* InsertFirst(const T& item) { return LinkFirst(new LinkNode(item)); }
  T* InsertFirst(T&& item) { return LinkFirst(new LinkNode(std::move(item))); }
  T* InsertFirst(const T* item) { return item ? InsertFirst(*item) : nullptr; }

  // A copy is inserted after the cursor's item (as the first item without a
  // cursor); the cursor goes to it. Returns the copy.
  T* InsertAfter(const T& item) { return LinkAfter(new LinkNode(item)); }
  T* InsertAfter(T&& item) { return LinkAfter(new LinkNode(std::move(item))); }
  T* InsertAfter(const T* item) { return item ? InsertAfter(*item) : nullptr; }

  // Unlinks and frees the cursor's item; the cursor moves to the previous
  // item (no cursor when the first item went). Nothing without a cursor.
  void DeleteCurrent() {
    LinkNode* n = current_;
    if (n == nullptr) return;
    if (n->Prev)
      n->Prev->Next = n->Next;
    else
      head_ = n->Next;
    if (n->Next)
      n->Next->Prev = n->Prev;
    else
      tail_ = n->Prev;
    current_ = n->Prev;
    --cur_index_;  // 0 becomes -1 together with current_ = nullptr
    --last_index_;
    delete n;
  }

  // Ordered kinds only. The walk starts at the cursor: an item lands before
  // the first item that orders after it when the walk goes forward (behind a
  // run of equal keys), after the last item that orders before it when the
  // walk goes backward (in front of a run of equal keys, or right after the
  // first item when that run starts the list). The cursor goes to the new
  // item, which is returned.
  T* InsertSorted(const T& item) {
    if (head_ == nullptr) return InsertAfter(item);
    if (current_ == nullptr) {
      current_ = head_;
      cur_index_ = 0;
    }
    if (KeyGreater(item, current_->Item)) {
      while (!AtLast() && !KeyGreater(current_->Item, item)) Next();
      if (KeyGreater(current_->Item, item)) Prev();
      return InsertAfter(item);
    }
    while (!AtFirst() && !KeyGreater(item, current_->Item)) Prev();
    if (AtFirst() && KeyGreater(current_->Item, item)) return InsertFirst(item);
    return InsertAfter(item);
  }
  T* InsertSorted(const T* item) { return item ? InsertSorted(*item) : nullptr; }

  // Ordered kinds only. With a cursor on an item of the same key, the new
  // item overwrites it in place (same address, cursor unchanged); otherwise
  // the cursor's item is deleted and the new one inserted in order. Returns
  // the stored item. The item may be one of the list's own.
  T* Replace(const T& item) {
    if (current_ != nullptr) {
      if (SameKey(current_->Item, item)) {
        if (&current_->Item != &item) current_->Item = item;
        return &current_->Item;
      }
      T copy(item);  // item may be the one deleted next
      DeleteCurrent();
      return InsertSorted(copy);
    }
    return InsertSorted(item);
  }
  T* Replace(const T* item) { return item ? Replace(*item) : nullptr; }

  // --- cursor ---
  // No cursor.
  void Reset() {
    current_ = nullptr;
    cur_index_ = -1;
  }
  // Without cursor the first item, else the next; past the last: no cursor
  // and nullptr.
  T* Next() {
    current_ = current_ ? current_->Next : head_;
    cur_index_ = current_ ? cur_index_ + 1 : -1;
    return current_ ? &current_->Item : nullptr;
  }
  // The previous item; from the first: no cursor and nullptr; without a
  // cursor: stays without, nullptr.
  T* Prev() {
    if (current_ == nullptr) return nullptr;
    current_ = current_->Prev;
    cur_index_ = current_ ? cur_index_ - 1 : -1;
    return current_ ? &current_->Item : nullptr;
  }
  // The cursor goes to that index; outside 0..LastIndex(): nullptr and the
  // cursor stays. Walks from the nearest of head, cursor and tail.
  T* Item(std::int32_t index) {
    if (index < 0 || index > last_index_) return nullptr;
    std::int32_t steps = index;  // from the head
    if (current_ == nullptr ||
        (index < cur_index_ ? cur_index_ - index : index - cur_index_) > steps) {
      current_ = head_;
      cur_index_ = 0;
    } else {
      steps = index < cur_index_ ? cur_index_ - index : index - cur_index_;
    }
    if (last_index_ - index < steps) {
      current_ = tail_;
      cur_index_ = last_index_;
    }
    while (cur_index_ < index) {
      current_ = current_->Next;
      ++cur_index_;
    }
    while (cur_index_ > index) {
      current_ = current_->Prev;
      --cur_index_;
    }
    return &current_->Item;
  }
  // Cursor on the last item (none when empty).
  void GoLast() {
    current_ = tail_;
    cur_index_ = last_index_;
  }

  // --- iteration that leaves the cursor alone ---
  template <class N, class V>
  class Iter {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = V*;
    using reference = V&;
    Iter() = default;
    explicit Iter(N* n) : n_(n) {}
    reference operator*() const { return n_->Item; }
    pointer operator->() const { return &n_->Item; }
    Iter& operator++() {
      n_ = n_->Next;
      return *this;
    }
    Iter operator++(int) {
      Iter t = *this;
      n_ = n_->Next;
      return t;
    }
    bool operator==(const Iter& o) const { return n_ == o.n_; }

   private:
    N* n_ = nullptr;
  };
  using iterator = Iter<LinkNode, T>;
  using const_iterator = Iter<const LinkNode, const T>;
  iterator begin() { return iterator(head_); }
  iterator end() { return iterator(); }
  const_iterator begin() const { return const_iterator(head_); }
  const_iterator end() const { return const_iterator(); }

 private:
  T* LinkFirst(LinkNode* n) {
    n->Next = head_;
    if (head_)
      head_->Prev = n;
    else
      tail_ = n;
    head_ = n;
    current_ = n;
    cur_index_ = 0;
    ++last_index_;
    return &n->Item;
  }
  T* LinkAfter(LinkNode* n) {
    if (current_ == nullptr) return LinkFirst(n);
    n->Prev = current_;
    n->Next = current_->Next;
    if (current_->Next)
      current_->Next->Prev = n;
    else
      tail_ = n;
    current_->Next = n;
    current_ = n;
    ++cur_index_;
    ++last_index_;
    return &n->Item;
  }
  void CopyFrom(const LinkListObj& other) {
    try {
      for (const LinkNode* n = other.head_; n; n = n->Next) {
        GoLast();
        InsertAfter(n->Item);
      }
    } catch (...) {
      Clear();  // a throwing constructor runs no destructor
      throw;
    }
    Reset();
    if (other.cur_index_ >= 0) Item(other.cur_index_);
  }
  void Swap(LinkListObj& o) noexcept {
    std::swap(head_, o.head_);
    std::swap(tail_, o.tail_);
    std::swap(current_, o.current_);
    std::swap(cur_index_, o.cur_index_);
    std::swap(last_index_, o.last_index_);
  }

  std::int32_t cur_index_ = -1;
  std::int32_t last_index_ = -1;
  LinkNode* head_ = nullptr;
  LinkNode* tail_ = nullptr;
  LinkNode* current_ = nullptr;
};

}  // namespace hv

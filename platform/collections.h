#pragma once
// The MFC containers the library uses: a list of object pointers addressed by POSITION, arrays
// of pointers and strings, and a map from 16-bit keys to pointers. Containers store pointers
// and never delete the objects they point to.
#include <map>
#include <vector>

#include "platform/cstring.h"
#include "platform/object.h"

// Typed list of pointers. A POSITION is the address of a node, so it stays valid until its own
// element is removed, whatever else is added or removed. Reading through a null position (or
// the head/tail of an empty list) yields null; writes through it are discarded. Using a
// position after its element was removed is an error. The block size is accepted and ignored.
template <class T>
class CTypedPtrListBase : public CObject {
 public:
  explicit CTypedPtrListBase(INT_PTR blockSize = 10) { (void)blockSize; }
  ~CTypedPtrListBase() override { RemoveAll(); }
  CTypedPtrListBase(const CTypedPtrListBase&) = delete;
  CTypedPtrListBase& operator=(const CTypedPtrListBase&) = delete;

  INT_PTR GetCount() const { return m_count; }
  INT_PTR GetSize() const { return m_count; }
  BOOL IsEmpty() const { return m_count == 0; }

  T& GetHead() { return Slot(m_head); }
  T GetHead() const { return m_head ? m_head->value : T(); }
  T& GetTail() { return Slot(m_tail); }
  T GetTail() const { return m_tail ? m_tail->value : T(); }
  // Null when the list is empty.
  T RemoveHead() { return Take(m_head); }
  T RemoveTail() { return Take(m_tail); }
  POSITION AddHead(T value) { return InsertBefore(GetHeadPosition(), value); }
  POSITION AddTail(T value) { return InsertAfter(GetTailPosition(), value); }
  // Adds the elements of other, keeping their order.
  void AddHead(CTypedPtrListBase* other) {
    if (!other || other == this) return;
    for (Node* n = other->m_tail; n; n = n->prev) AddHead(n->value);
  }
  void AddTail(CTypedPtrListBase* other) {
    if (!other || other == this) return;
    for (Node* n = other->m_head; n; n = n->next) AddTail(n->value);
  }
  void RemoveAll() {
    while (m_head) Take(m_head);
  }

  POSITION GetHeadPosition() const { return ToPos(m_head); }
  POSITION GetTailPosition() const { return ToPos(m_tail); }
  // The element at pos; pos moves to the next (previous) element, null after the last.
  T& GetNext(POSITION& pos) {
    Node* n = ToNode(pos);
    pos = n ? ToPos(n->next) : nullptr;
    return Slot(n);
  }
  T GetNext(POSITION& pos) const { return const_cast<CTypedPtrListBase*>(this)->GetNext(pos); }
  T& GetPrev(POSITION& pos) {
    Node* n = ToNode(pos);
    pos = n ? ToPos(n->prev) : nullptr;
    return Slot(n);
  }
  T GetPrev(POSITION& pos) const { return const_cast<CTypedPtrListBase*>(this)->GetPrev(pos); }
  T& GetAt(POSITION pos) { return Slot(ToNode(pos)); }
  T GetAt(POSITION pos) const { return pos ? ToNode(pos)->value : T(); }
  void SetAt(POSITION pos, T value) {
    if (pos) ToNode(pos)->value = value;
  }
  // Removes the element at pos (nothing for a null position).
  void RemoveAt(POSITION pos) { Take(ToNode(pos)); }
  // A null pos inserts at the head (InsertBefore) or the tail (InsertAfter).
  POSITION InsertBefore(POSITION pos, T value) {
    Node* next = pos ? ToNode(pos) : m_head;
    return Link(new Node{next ? next->prev : m_tail, next, value});
  }
  POSITION InsertAfter(POSITION pos, T value) {
    Node* prev = pos ? ToNode(pos) : m_tail;
    return Link(new Node{prev, prev ? prev->next : m_head, value});
  }
  // First element equal to value after startAfter (from the head when null), or null.
  POSITION Find(T value, POSITION startAfter = nullptr) const {
    for (Node* n = startAfter ? ToNode(startAfter)->next : m_head; n; n = n->next) {
      if (n->value == value) return ToPos(n);
    }
    return nullptr;
  }
  // Position of the zero-based index, or null when out of range.
  POSITION FindIndex(INT_PTR index) const {
    if (index < 0 || index >= m_count) return nullptr;
    Node* n = m_head;
    while (index-- > 0) n = n->next;
    return ToPos(n);
  }

 private:
  struct Node {
    Node* prev;
    Node* next;
    T value;
  };
  static POSITION ToPos(Node* n) { return reinterpret_cast<POSITION>(n); }
  static Node* ToNode(POSITION p) { return reinterpret_cast<Node*>(p); }
  T& Slot(Node* n) {
    if (n) return n->value;
    m_none = T();
    return m_none;
  }
  // Links a node whose prev/next are already set (with an empty list both are null).
  POSITION Link(Node* n) {
    (n->prev ? n->prev->next : m_head) = n;
    (n->next ? n->next->prev : m_tail) = n;
    ++m_count;
    return ToPos(n);
  }
  T Take(Node* n) {
    if (!n) return T();
    (n->prev ? n->prev->next : m_head) = n->next;
    (n->next ? n->next->prev : m_tail) = n->prev;
    --m_count;
    T value = n->value;
    delete n;
    return value;
  }

  Node* m_head = nullptr;
  Node* m_tail = nullptr;
  INT_PTR m_count = 0;
  T m_none{};
};

class QUARLEN_API CObList : public CTypedPtrListBase<CObject*> {
 public:
  explicit CObList(INT_PTR blockSize = 10) : CTypedPtrListBase<CObject*>(blockSize) {}
  DECLARE_DYNAMIC(CObList)
};

class QUARLEN_API CPtrList : public CTypedPtrListBase<void*> {
 public:
  explicit CPtrList(INT_PTR blockSize = 10) : CTypedPtrListBase<void*>(blockSize) {}
  DECLARE_DYNAMIC(CPtrList)
};

// Array over std::vector. Out-of-range reads give a default value (null, empty string);
// out-of-range writes through SetAt are ignored, through ElementAt/operator[] discarded.
template <class T, class Arg = T>
class CArrayBase : public CObject {
 public:
  INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }
  INT_PTR GetCount() const { return GetSize(); }
  BOOL IsEmpty() const { return m_data.empty(); }
  INT_PTR GetUpperBound() const { return GetSize() - 1; }
  // Resizes (new elements are default values); growBy is accepted and ignored. A negative
  // size empties the array.
  void SetSize(INT_PTR newSize, INT_PTR growBy = -1) {
    (void)growBy;
    m_data.resize(newSize > 0 ? static_cast<std::size_t>(newSize) : 0);
  }
  void FreeExtra() { m_data.shrink_to_fit(); }
  void RemoveAll() { m_data.clear(); }

  T GetAt(INT_PTR i) const { return InRange(i) ? m_data[static_cast<std::size_t>(i)] : T(); }
  void SetAt(INT_PTR i, Arg value) {
    if (InRange(i)) m_data[static_cast<std::size_t>(i)] = value;
  }
  T& ElementAt(INT_PTR i) {
    if (InRange(i)) return m_data[static_cast<std::size_t>(i)];
    m_none = T();
    return m_none;
  }
  T operator[](INT_PTR i) const { return GetAt(i); }
  T& operator[](INT_PTR i) { return ElementAt(i); }
  const T* GetData() const { return m_data.data(); }
  T* GetData() { return m_data.data(); }

  // Index of the new element.
  INT_PTR Add(Arg value) {
    m_data.push_back(value);
    return GetUpperBound();
  }
  // Sets element i, growing the array when i is past the end (negative i is ignored).
  void SetAtGrow(INT_PTR i, Arg value) {
    if (i < 0) return;
    if (i >= GetSize()) SetSize(i + 1);
    m_data[static_cast<std::size_t>(i)] = value;
  }
  // Inserts count copies at i; an index past the end grows the array first.
  void InsertAt(INT_PTR i, Arg value, INT_PTR count = 1) {
    if (i < 0 || count <= 0) return;
    if (i > GetSize()) SetSize(i);
    m_data.insert(m_data.begin() + i, static_cast<std::size_t>(count), value);
  }
  // Removes count elements from i (clamped to the array).
  void RemoveAt(INT_PTR i, INT_PTR count = 1) {
    if (!InRange(i) || count <= 0) return;
    const INT_PTR end = count > GetSize() - i ? GetSize() : i + count;
    m_data.erase(m_data.begin() + i, m_data.begin() + end);
  }
  // Appends the elements of other; returns the index of the first appended one.
  INT_PTR Append(const CArrayBase& other) {
    const INT_PTR first = GetSize();
    if (&other == this) {
      const std::vector<T> copy = m_data;
      m_data.insert(m_data.end(), copy.begin(), copy.end());
    } else {
      m_data.insert(m_data.end(), other.m_data.begin(), other.m_data.end());
    }
    return first;
  }
  void Copy(const CArrayBase& other) {
    if (&other != this) m_data = other.m_data;
  }

  const std::vector<T>& Vector() const { return m_data; }

 private:
  bool InRange(INT_PTR i) const { return i >= 0 && i < GetSize(); }

  std::vector<T> m_data;
  T m_none{};
};

class QUARLEN_API CPtrArray : public CArrayBase<void*> {
  DECLARE_DYNAMIC(CPtrArray)
};

class QUARLEN_API CObArray : public CArrayBase<CObject*> {
  DECLARE_DYNAMIC(CObArray)
};

class QUARLEN_API CStringArray : public CArrayBase<CString, const wchar_t*> {
  DECLARE_DYNAMIC(CStringArray)
};

// Map from WORD keys to pointers, iterated in increasing key order. A position names a key,
// so removing other entries during an iteration is safe; removing the entry a position names
// makes GetNextAssoc continue with the next larger key.
class QUARLEN_API CMapWordToPtr : public CObject {
  DECLARE_DYNAMIC(CMapWordToPtr)

 public:
  explicit CMapWordToPtr(INT_PTR blockSize = 10) { (void)blockSize; }

  INT_PTR GetCount() const { return static_cast<INT_PTR>(m_map.size()); }
  INT_PTR GetSize() const { return GetCount(); }
  BOOL IsEmpty() const { return m_map.empty(); }
  void InitHashTable(UINT size, BOOL allocNow = TRUE) { (void)size, (void)allocNow; }

  // TRUE and the value when the key is present; value untouched otherwise.
  BOOL Lookup(WORD key, void*& value) const;
  void SetAt(WORD key, void* value) { m_map[key] = value; }
  // The value of key, inserted as null when absent.
  void*& operator[](WORD key) { return m_map[key]; }
  BOOL RemoveKey(WORD key) { return m_map.erase(key) != 0; }
  void RemoveAll() { m_map.clear(); }

  // Null when the map is empty.
  POSITION GetStartPosition() const;
  // Reads the entry at pos (or the next larger key if that one was removed) and moves pos on;
  // pos becomes null after the last entry. With nothing left, key and value are 0 and null.
  void GetNextAssoc(POSITION& pos, WORD& key, void*& value) const;

 private:
  std::map<WORD, void*> m_map;
};

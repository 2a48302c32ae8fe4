#pragma once
// CGToolSelect: hands a drag to the tool associated with the mouse keys held when it starts.
//
// The application associates tools (other dynamic objects, e.g. a zoom tool) with mouse-key
// words. The selection tool answers every hit test, so it catches every press no other object
// takes; when the container offers it a drag it looks up the tool for the keys, puts that tool
// on top of the container, hands it the drag, forwards every update and removes the tool from
// the container when the drag ends. It draws nothing itself.
//
// Make it the container's tracking object (CGOContainer::AddTracking) and add the cursors and
// other objects that take presses of their own as dynamic objects: a press on a cursor line
// drags the cursor, a drag anywhere else reaches the selection tool with the keys held (see
// "Mouse" in graphics/container.h). Added to the dynamic layer instead, the selection tool
// would move to the top of it on its first drag (the container moves every object that
// captures there) and, as it answers every hit test, take every later press, cursor lines
// included. The associated tools are not added to the container by the application either.
//
//   CGToolSelect tools(&view);
//   tools.AssociateTool(MK_LBUTTON, &zoom);  // left drag: zoom
//   tools.AssociateTool(MK_RBUTTON, &pick);  // right drag: pick position
//   view.AddTracking(&tools);
//
// Key lookup order: the flags masked with MK_LBUTTON, MK_RBUTTON, MK_SHIFT, MK_CONTROL,
// MK_MBUTTON, 0x4000 (left double-click), 0x8000 (right double-click), then the whole word
// (low 16 bits); the first key with an association wins. A masked key is 0 when its bit is
// absent, so an association with key 0 is found at the first missing bit. So a button's own
// association wins over a modifier's (Shift + left drag goes to the MK_LBUTTON tool when there
// is one), and a combination such as MK_CONTROL | MK_LBUTTON is reached only when none of its
// single keys has a tool.
//
// Locks: container, then selection tool, then active tool.
#include <map>

#include "graphics/dynamic_object.h"

class CGOContainer;

class QUARLEN_API CGToolSelect : public CGODynamic {
  DECLARE_DYNAMIC(CGToolSelect)

 public:
  explicit CGToolSelect(CGOContainer* container);
  ~CGToolSelect() override;

  // tools[low 16 bits of keys] := tool (a null tool may be stored).
  void AssociateTool(UINT keys, CGODynamic* tool);
  // The tool handling the current drag, or null.
  CGODynamic* GetActiveTool() const;

  void OnDraw(CDC* dc, CRect* clip) override;
  int IsOnTop(CPoint* pt) const override;
  using CGODynamic::GetPickPrecision;
  using CGODynamic::SetPickPrecision;
  // The associated tool's pick precision for these exact keys, else the selection tool's own.
  CSize GetPickPrecision(unsigned flags) override;
  void SetPickPrecision(CSize size, unsigned flags) override;
  int OnBeginCapture(CPoint* pt, unsigned flags) override;
  int OnUpdateCapture(CPoint* pt, unsigned flags) override;
  void OnEndCapture(CPoint* pt, unsigned flags) override;
  HICON GetCursor(CPoint* pt) override;

 private:
  std::map<WORD, CGODynamic*> m_tools;
  CGOContainer* m_container;
  CGODynamic* m_activeTool = nullptr;
};

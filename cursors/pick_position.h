#pragma once
// CPickPosition: an invisible tool that turns a press and drag anywhere in a view into the
// values of one or two positions (pointer x to one, pointer y to the other, each optionally
// snapped to a step grid). The cursors showing those positions follow through event 1619.
//
// On the first pick after the application cleared the view's picked mark, the mark is set, the
// record's change counter is incremented and the consumer list is told. The final values of a
// drag are logged (event 1623) once, at its end.
//
// The positions, the record and the consumer list are not owned and must outlive the tool.
#include <cstdint>

#include "graphics/dynamic_object.h"

class CConsumerList;
class CPosition;

// The part of the application's view configuration that the pick tool writes. The application
// clears the picked marks when it wants to hear of the next pick.
struct gview_graphicViewConfig {
  std::int32_t picked1 = 0;        // set by a pick tool created with a non-zero index
  std::int32_t picked2 = 0;        // set by a pick tool created with index 0
  std::int32_t changeCounter = 0;  // incremented each time a mark is set
};

class QUARLEN_API CPickPosition : public CGODynamic {
  DECLARE_DYNAMIC(CPickPosition)

 public:
  CPickPosition();
  ~CPickPosition() override;

  // Stores all five; returns 1.
  int Create(gview_graphicViewConfig* config, CConsumerList* list, int index, CPosition* first,
             CPosition* second);
  void SetPositions(CPosition* first, CPosition* second);
  void GetPositions(CPosition** first, CPosition** second) const;
  void EnableStepX(int enable, double step, double origin);
  void EnableStepY(int enable, double step, double origin);
  double NearestX(double x) const;
  double NearestY(double y) const;
  // 1 when the first position is fed from the pointer's y (set by SetRuler).
  int IsSwapped() const { return m_swapped; }

  // CGObject.
  void SetRuler(CRuler* x, int xGrow, CRuler* y, int yGrow) override;
  void OnDraw(CDC* dc, CRect* clip) override;
  void AckNewData() override;

  // CGODynamic.
  int IsOnTop(CPoint* pt) const override;
  int OnBeginCapture(CPoint* pt, unsigned flags) override;
  int OnUpdateCapture(CPoint* pt, unsigned flags) override;
  void OnEndCapture(CPoint* pt, unsigned flags) override;

 private:
  class Guard;  // holds the object's lock for one scope
  CPosition* m_first = nullptr;
  CPosition* m_second = nullptr;
  int m_swapped = 0;
  gview_graphicViewConfig* m_config = nullptr;
  int m_index = 0;
  CConsumerList* m_consumers = nullptr;
  int m_stepXEnabled = 0;
  double m_stepXOrigin = 0.0;
  double m_stepX = 1.0;
  int m_stepYEnabled = 0;
  double m_stepYOrigin = 0.0;
  double m_stepY = 1.0;
  int m_log = 0;
};

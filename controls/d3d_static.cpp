#include "controls/d3d_static.h"

#include "axis/position.h"
#include "axis/ruler.h"
#include "axis/scale_converter.h"

namespace {

// Start of the ruler's axis; a ruler tied to no axis starts at 0.
double AxisStart(const CRuler& ruler) {
  const CAxe* axe = ruler.GetAxe();
  return axe != nullptr ? axe->GetStart() : 0.0;
}

}  // namespace

IMPLEMENT_DYNAMIC(CD3DStaticCtrl, CWnd)
IMPLEMENT_DYNAMIC(CD3DStaticObject, CGObject)

void CD3DStaticCtrl::OnDraw(CDC*) {}

CD3DStaticObject::CD3DStaticObject(CD3DStaticCtrl* control) : m_control(control) {}

CD3DStaticObject::~CD3DStaticObject() = default;

void CD3DStaticObject::OnDraw(CDC* dc, CRect*) {
  if (m_control != nullptr) m_control->OnDraw(dc);
}

void CD3DStaticObject::OnScaling() {
  if (m_control == nullptr) return;
  // Called by the base class with the object's lock held, so the rulers and scales read here
  // are the ones the rescale just used.
  if (m_xRuler != nullptr) {
    const CSC* scale = GetXScale();
    const double axisStart = AxisStart(*m_xRuler);
    m_control->SetHorizontalOffset(axisStart);
    m_control->SetHorizontalStart(scale->GetRulOffset() - axisStart);
    m_control->SetHorizontalRange(scale->GetRulRange());
  }
  if (m_yRuler != nullptr) {
    const CSC* scale = GetYScale();
    const double axisStart = AxisStart(*m_yRuler);
    m_control->SetVerticalOffset(axisStart);
    m_control->SetVerticalStart(scale->GetRulOffset() - axisStart);
    m_control->SetVerticalRange(scale->GetRulRange());
  }
}

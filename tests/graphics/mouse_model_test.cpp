// The container's mouse state machine against a reference model: seeded random sequences of
// presses, moves, releases and double-clicks of both buttons, with modifiers, capture loss,
// objects that refuse or end drags, and objects removed and added again mid-drag. After every
// step the calls the objects received, the messages the frame received and the mouse capture
// must be what the model predicts. A failure names the seed and the step; set
// QUARLEN_MODEL_SEED to run another family of sequences.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/graphics/graphics_fixture.h"

namespace gfxtest {
namespace {

constexpr int kObjects = 3;
constexpr int kSequences = 10000;
constexpr int kStepsPerSequence = 12;

std::string Call(const std::string& name, const char* what, CPoint pt, unsigned flags) {
  return name + "." + what + "(" + std::to_string(pt.x) + "," + std::to_string(pt.y) + "," +
         std::to_string(flags) + ")";
}

// What the objects look like to the container, as the model keeps it.
struct ModelObject {
  Box* box = nullptr;
  std::string name;
  CRect rect;
  bool captureEnabled = true;
  bool hitEverywhere = false;
};

// The reference: the state machine written out plainly over the model's own copy of the
// dynamic list. `tracking` is -1 when there is none; `captured` indexes objects (the tracking
// object included), -1 for none.
class Model {
 public:
  std::vector<ModelObject> objects;  // the dynamic objects first, then the tracking object
  std::vector<int> order;            // dynamic list, top first
  int tracking = -1;
  bool pressed = false;
  int captured = -1;
  CPoint down;
  bool notified = false;
  bool captureHeld = false;
  bool pick = true;
  Log calls;
  std::vector<ParentMessage> frame;

  void LeftDown(UINT flags, CPoint pt) {
    down = pt;
    WPARAM notice = 0;
    if ((flags & MK_SHIFT) && (flags & MK_CONTROL)) {
      notice = gocont_noticeShiftControl;
    } else if (flags & MK_SHIFT) {
      notice = gocont_noticeShift;
    } else if (flags & MK_CONTROL) {
      notice = gocont_noticeControl;
    }
    if (notice != 0) {
      frame.push_back({gocont_msgModifierNotice, notice, 0});
      notified = true;
    }
    if ((captured < 0 || !pressed) && pick) {
      int c = OnTop(pt);
      if (c >= 0 && !Begin(c, pt, MK_LBUTTON)) c = -1;
      captured = c;
      if (c >= 0) {
        MoveToTop(c);
        captureHeld = true;
      }
      pressed = true;
    }
  }
  void Move(UINT flags, CPoint pt) {
    bool moved = false;
    if (tracking >= 0 && pressed)
      moved = std::abs(pt.x - down.x) > 5 || std::abs(pt.y - down.y) > 5;
    if (!pressed) return;
    if (captured < 0) {
      if (moved && tracking >= 0 && Begin(tracking, down, flags)) captured = tracking;
      if (captured >= 0) captureHeld = true;
      return;
    }
    calls.push_back(Call(objects[captured].name, "update", pt, flags));
    if (!objects[captured].box->keepDragging) Abandon();
  }
  void Up(UINT flags, CPoint pt) {
    if (pressed) {
      captureHeld = false;
      if (captured >= 0) calls.push_back(Call(objects[captured].name, "end", pt, flags));
      captured = -1;
      pressed = false;
    }
    ModifierEnd();
  }
  void RightDown(UINT flags, CPoint pt) {
    if (flags == MK_RBUTTON) {
      frame.push_back(
          {WM_RBUTTONDOWN, 2, MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y))});
    }
    if (!((captured < 0 || !pressed) && pick)) return;
    const int c = OnTop(pt);
    if (c >= 0 && Begin(c, pt, flags)) {
      captured = c;
      MoveToTop(c);
    } else {
      captured = tracking >= 0 && Begin(tracking, pt, flags) ? tracking : -1;
      if (captured < 0) return;
    }
    captureHeld = true;
    pressed = true;
  }
  void Remove(int i) {
    if (captured == i) Abandon();
    const auto it = std::find(order.begin(), order.end(), i);
    if (it != order.end()) {
      calls.push_back(objects[i].name + ".destroyWnd");
      order.erase(it);
    } else if (i == tracking) {
      tracking = -1;
    }
  }
  void CaptureLost() { captureHeld = false; }

 private:
  int OnTop(CPoint pt) const {
    for (int i : order) {
      const ModelObject& o = objects[i];
      if (o.captureEnabled && (o.hitEverywhere || o.rect.PtInRect(pt))) return i;
    }
    return -1;
  }
  bool Begin(int i, CPoint pt, unsigned flags) {
    calls.push_back(Call(objects[i].name, "begin", pt, flags));
    return objects[i].box->accept != 0;
  }
  void MoveToTop(int i) {
    const auto it = std::find(order.begin(), order.end(), i);
    if (it == order.end()) return;
    order.erase(it);
    order.insert(order.begin(), i);
  }
  void Abandon() {
    if (pressed || captured >= 0) captureHeld = false;
    pressed = false;
    captured = -1;
    ModifierEnd();
  }
  void ModifierEnd() {
    if (!notified) return;
    notified = false;
    frame.push_back({gocont_msgModifierNotice, 0, 0});
  }
};

std::string Describe(const std::vector<ParentMessage>& messages) {
  std::ostringstream out;
  for (const ParentMessage& m : messages) out << "{" << m.msg << "," << m.w << "," << m.l << "} ";
  return out.str();
}

class MouseModelTest : public ContainerTest {
 protected:
  // The frame's messages without the acknowledgements the repaints post.
  std::vector<ParentMessage> FrameMessages() {
    std::vector<ParentMessage> out;
    for (const ParentMessage& m : frame->Take()) {
      if (m.msg != gocont_msgAllAcknowledged) out.push_back(m);
    }
    return out;
  }
};

unsigned BaseSeed() {
  const char* env = std::getenv("QUARLEN_MODEL_SEED");
  return env != nullptr ? static_cast<unsigned>(std::strtoul(env, nullptr, 0)) : 20261209u;
}

TEST_F(MouseModelTest, RandomSequencesFollowTheModel) {
  std::vector<Box*> boxes;
  for (int i = 0; i < kObjects; ++i) {
    boxes.push_back(Make(std::string(1, static_cast<char>('a' + i)), CRect(), RGB(0, 0, 255)));
  }
  Box* t = Make("t", CRect(0, 0, 0, 0), RGB(0, 255, 0));
  t->hitEverywhere = 1;
  const unsigned base = BaseSeed();
  // Nothing here looks at pixels: the container skips painting, which keeps 10^4 sequences fast.
  c->EnableDraw(0);
  // Calls and messages compared, so that the model cannot pass vacuously.
  std::size_t ends = 0, abandoned = 0, notices = 0;  // abandoned: removed mid-drag

  for (int sequence = 0; sequence < kSequences; ++sequence) {
    const unsigned seed = base + static_cast<unsigned>(sequence);
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto point = [&] { return CPoint(pick(kW + 20) - 10, pick(kH + 20) - 10); };

    // A fresh scene: idle state, the objects at random places, all in the list.
    c->RemoveAll();
    c->SendMessage(WM_LBUTTONUP, 0, 0);
    Model m;
    for (int i = 0; i < kObjects; ++i) {
      const int x = pick(kW - 10), y = pick(kH - 10);
      const CRect r(x, y, x + 5 + pick(40), y + 5 + pick(40));
      boxes[i]->MoveTo(r);
      boxes[i]->accept = pick(4) != 0;
      boxes[i]->keepDragging = 1;
      const bool enabled = pick(5) != 0;
      boxes[i]->EnableCapture(enabled);
      c->AddDynamic(boxes[i], 1);
      m.objects.push_back({boxes[i], std::string(1, static_cast<char>('a' + i)), r, enabled});
      m.order.push_back(i);
    }
    t->accept = pick(3) != 0;
    m.objects.push_back({t, "t", CRect(), true, true});
    if (pick(4) != 0) {
      c->AddTracking(t);
      m.tracking = kObjects;
    }
    const bool dynamicPick = pick(8) != 0;
    c->EnableDynamicPick(dynamicPick);
    m.pick = dynamicPick;
    TakeLog();
    FrameMessages();

    for (int step = 0; step < kStepsPerSequence; ++step) {
      const CPoint pt = point();
      std::string op;
      const UINT modifiers = (pick(4) == 0 ? MK_SHIFT : 0) | (pick(4) == 0 ? MK_CONTROL : 0);
      switch (pick(12)) {
        case 0:
        case 1: {
          const UINT flags = MK_LBUTTON | modifiers;
          op = "left down";
          m.LeftDown(flags, pt);
          Mouse(WM_LBUTTONDOWN, flags, pt.x, pt.y);
          break;
        }
        case 2: {
          const UINT flags = pick(2) ? MK_RBUTTON : MK_RBUTTON | modifiers;
          op = "right down";
          m.RightDown(flags, pt);
          Mouse(WM_RBUTTONDOWN, flags, pt.x, pt.y);
          break;
        }
        case 3:
        case 4:
        case 5: {
          // Near the press point half of the time, so the pick precision is exercised.
          const CPoint at = pick(2) ? CPoint(m.down.x + pick(15) - 7, m.down.y + pick(15) - 7) : pt;
          const UINT flags = (pick(3) ? MK_LBUTTON : 0) | modifiers;
          if (m.captured >= 0) m.objects[m.captured].box->keepDragging = pick(6) != 0;
          op = "move";
          m.Move(flags, at);
          Mouse(WM_MOUSEMOVE, flags, at.x, at.y);
          break;
        }
        case 6:
        case 7: {
          const bool right = pick(3) == 0;
          op = right ? "right up" : "left up";
          m.Up(modifiers, pt);
          Mouse(right ? WM_RBUTTONUP : WM_LBUTTONUP, modifiers, pt.x, pt.y);
          break;
        }
        case 8: {
          const bool right = pick(2) == 0;
          const UINT flags = (right ? MK_RBUTTON : MK_LBUTTON) | modifiers;
          op = right ? "right double-click" : "left double-click";
          m.RightDown(right ? (flags & ~static_cast<UINT>(MK_RBUTTON)) | gobj_flagRightDoubleClick
                            : (flags & ~static_cast<UINT>(MK_LBUTTON)) | gobj_flagLeftDoubleClick,
                      pt);
          Mouse(right ? WM_RBUTTONDBLCLK : WM_LBUTTONDBLCLK, flags, pt.x, pt.y);
          break;
        }
        case 9: {
          op = "capture lost";
          m.CaptureLost();
          ::ReleaseCapture();
          break;
        }
        case 10: {
          // Mostly the object being dragged, if any.
          const int i = m.captured >= 0 && pick(3) != 0 ? m.captured : pick(kObjects + 1);
          op = "remove " + m.objects[i].name;
          abandoned += m.captured == i;
          m.Remove(i);
          c->Remove(m.objects[i].box);
          break;
        }
        default: {
          // Puts a removed object back (at the top or the bottom).
          const int i = pick(kObjects + 1);
          op = "add " + m.objects[i].name;
          if (i == kObjects) {
            if (m.tracking < 0) {
              c->AddTracking(t);
              m.tracking = kObjects;
            }
          } else if (std::find(m.order.begin(), m.order.end(), i) == m.order.end()) {
            const bool top = pick(2) == 0;
            c->AddDynamic(m.objects[i].box, top ? CGOContainer::top : CGOContainer::bottom);
            if (top) {
              m.order.insert(m.order.begin(), i);
            } else {
              m.order.push_back(i);
            }
          }
          break;
        }
      }
      const std::string where = "seed " + std::to_string(seed) +
                                " (QUARLEN_MODEL_SEED=" + std::to_string(seed) +
                                ", sequence 0), step " + std::to_string(step) + ": " + op +
                                " at (" + std::to_string(pt.x) + "," + std::to_string(pt.y) + ")";
      ASSERT_EQ(TakeLog(), m.calls) << where;
      for (const std::string& call : m.calls) ends += call.find(".end(") != std::string::npos;
      m.calls.clear();
      const std::vector<ParentMessage> got = FrameMessages();
      ASSERT_EQ(got, m.frame) << where << "\n  frame got " << Describe(got) << "\n  model "
                              << Describe(m.frame);
      notices += m.frame.size();
      m.frame.clear();
      ASSERT_EQ(::GetCapture() == c->m_hWnd, m.captureHeld) << where;
    }
  }
  EXPECT_GT(ends, std::size_t{kSequences} / 4);
  EXPECT_GT(abandoned, std::size_t{kSequences} / 10);
  EXPECT_GT(notices, std::size_t{kSequences} / 4);
  c->RemoveAll();
  c->SendMessage(WM_LBUTTONUP, 0, 0);
  Pump();
}

}  // namespace
}  // namespace gfxtest

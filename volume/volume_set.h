#pragma once
// The volume set: everything that describes one inspection data volume along its six axes —
// the axis descriptors and limits, and the rulers, cursors and unit sets the views use.
//
// Views ask the volume set for these objects with a group id. Requests with matching group ids
// share one object, counted per holder; each holder gives it back once, and the last one back
// destroys it. A private group id (value 1 = 6) always yields a new object. Whatever is still
// handed out when the volume set is destroyed is destroyed with it.
//
// Setting the limits of an axis pulls its rulers and cursors back inside and notifies the
// limits consumers. The volume set belongs to the user-interface thread (no lock).
#include <memory>
#include <vector>

#include "axis/unit.h"
#include "axis/position.h"
#include "volume/volume_types.h"
#include "platform/export.h"
#include "platform/object.h"

class CConsumerList;
class CCursorEx;
class CCursorSet;
class CDocument;
class CRulerEx;
class CRulerSet;
class CString;
class CUnit;
class CUnitSet;

// "Scan", "Index", "Ultrasound", "Amplitude", "Usr", "Usr2"; "???" for any other value.
// Nothing happens when name is null.
QUARLEN_API void GetAxisName(zel_enumAxis axis, CString* name);
// "Reference", "Measure", "Sel 1", "Sel 2"; "???" for any other value.
QUARLEN_API void GetCursorName(quarlen_enumVolCursorType type, CString* name);
// The axis name, a space and the cursor name ("Index Sel 1").
QUARLEN_API void GetCursorString(zel_enumAxis axis, quarlen_enumVolCursorType type, CString* name);

class QUARLEN_API CVolumeSet : public CObject {
 public:
  CVolumeSet(unit_enumUnits scanUnits, const wchar_t* scanName, unit_enumUnits indexUnits,
             const wchar_t* indexName);
  CVolumeSet(const CVolumeSet&) = delete;
  CVolumeSet& operator=(const CVolumeSet&) = delete;
  ~CVolumeSet() override;

  // Axis descriptors; null for an axis outside 0..5.
  CAxe* vol_GetAxis(zel_enumAxis axis);
  CAxe* vol_GetAxisDistrib() { return &m_distributionAxis; }
  CAxe* vol_GetAxisSubChannel() { return &m_subChannelAxis; }
  // The axis whose descriptor is that very object; zel_noAxis if none.
  zel_enumAxis vol_GetAxisEnum(const CAxe* axe) const;
  // The first unit the public unit set holds for the axis, or null.
  CUnit* vol_GetBaseUnit(zel_enumAxis axis) const;

  // Both outputs 0 for an axis outside 0..5; null outputs are skipped.
  void vol_GetLimits(zel_enumAxis axis, double* lower, double* upper) const;
  // Stores the limits of an axis (also into its descriptor), resets the rulers that stick out
  // to the whole limits, moves cursors outside back onto the nearest limit (their partners
  // stay), and then, in every case, notifies the limits consumers. Non-finite limits are not
  // stored.
  void vol_SetLimits(zel_enumAxis axis, double lower, double upper);
  CConsumerList* vol_LimitsGetConsList() { return m_limitsConsumers.get(); }
  // Sets the window of every ruler of the axis to [start, end], kept inside the limits.
  void vol_SetRulerRange(zel_enumAxis axis, double start, double end);

  // A ruler of the axis for the group, shared or new (*created tells which, when not null).
  // Null for an axis outside 0..5. A null id counts as private.
  CRulerEx* vol_CreateRuler(zel_enumAxis axis, double displayOffset, int circularModulo,
                            const vset_groupId* id, int* created);
  // Gives a ruler back: the last holder's return takes it out of the volume set; Remove
  // leaves it alive (the caller then owns it), Delete destroys it. Null, objects not handed
  // out by this volume set, and objects already given back completely are ignored.
  void vol_RemoveRuler(CRulerEx* ruler);
  void vol_DeleteRuler(CRulerEx* ruler);

  // The six rulers of a view: scan with (offsets[0], modulos[0], g1), index with
  // (offsets[1], modulos[1], g2), ultrasound with g3, amplitude with g4, the user axes with g2.
  CRulerSet* vol_CreateRulerSet(const vset_groupId* g1, const vset_groupId* g2,
                                const vset_groupId* g3, const vset_groupId* g4,
                                const float* offsets, const int* modulos);
  void vol_DeleteRulerSet(CRulerSet* set);

  // A cursor of the axis and type for the group, shared or new. A new cursor is linked with
  // link (when not null), placed at (type + 1) / 8 of the limits and announced (event 1619).
  CCursorEx* vol_CreateCursor(zel_enumAxis axis, quarlen_enumVolCursorType type,
                              const vset_groupId* id, CCursorEx* link, int* created);
  void vol_DeleteCursor(CCursorEx* cursor);
  // The 24 cursors of a view (see CCursorSet).
  CCursorSet* vol_CreateCursorSet(const vset_groupId* a0, const vset_groupId* a1,
                                  const vset_groupId* a2, const vset_groupId* a3,
                                  const vset_groupId* b0, const vset_groupId* b1,
                                  const vset_groupId* b2, const vset_groupId* b3);
  void vol_DeleteCursorSet(CCursorSet* set);

  CUnitSet* vol_CreateUnitSet(const vset_groupId* id, int* created);
  // The public unit set is never destroyed this way: it lives as long as the volume set.
  void vol_DeleteUnitSet(CUnitSet* set);
  CUnitSet* vol_GetPublicUnitSet() const { return m_publicUnitSet; }

  // The application's document; not owned.
  CDocument* vol_GetDocument() const { return m_document; }
  void vol_SetDocument(CDocument* document) { m_document = document; }

  // The first cursor of that axis and type whose group id matches; null if none.
  CCursorEx* GetCursor(zel_enumAxis axis, quarlen_enumVolCursorType type,
                       const vset_groupId* id) const;

 private:
  friend class CZoomHistory;  // reads the rulers of a group

  struct Limits {
    double lower = 0.0;
    double upper = 1.0;
  };

  CRulerEx* GetRuler(zel_enumAxis axis, const vset_groupId* id) const;
  CUnitSet* GetUnitSet(const vset_groupId* id) const;
  void RulersAdjust(zel_enumAxis axis);
  void CursorsAdjust(zel_enumAxis axis);
  void DeleteRulerListContents();
  void DeleteCursorListContents();
  void DeleteUnitListContents();
  // Gives a ruler back; true when it left the lists.
  bool ReleaseRuler(CRulerEx* ruler);

  CDocument* m_document = nullptr;
  Limits m_limits[zel_axisCount];
  std::unique_ptr<CConsumerList> m_limitsConsumers;
  std::unique_ptr<CAxe> m_axes[zel_axisCount];
  CAxe m_distributionAxis;
  CAxe m_subChannelAxis;
  CUnitSet* m_publicUnitSet = nullptr;
  std::vector<CRulerEx*> m_rulers[zel_axisCount];
  std::vector<CCursorEx*> m_cursors[zel_axisCount][quarlen_cursorTypeCount];
  std::vector<CUnitSet*> m_unitSets;
};

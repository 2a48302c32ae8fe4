#pragma once
// Dynamic depth focusing (DDF): the configuration of one acquisition-board family and the
// register values the board needs to change its receive delays during an A-scan.
//
// A family is four plain functions (value, number increment, first-slide delay factor, slide
// delay factor) that the object stores and calls through; CCalculatorData::SetDDFData installs
// one of the two known families with its constants, callers may install their own.
#include <string>

#include "platform/export.h"
#include "platform/types.h"

class QUARLEN_API CDynamicDepthFocusing {
 public:
  // Inputs of a value function: references to the caller's variables.
  struct CCalcDynValueConstParameter {
    const short& mode;             // 0 sets bit 15 of the control word (first family)
    const unsigned short& factor;  // step factor, or step count in 10 ns (second family)
    const unsigned short& clock;   // clock selector
    const double& delay;           // offset entering the start counter (scaled by 1000)
    const double& start;           // start of the focusing range, seconds
    const double& end;             // end of the focusing range, seconds
  };
  // Outputs of a value function: references to the caller's variables.
  struct CCalcDynValueReturnParameter {
    unsigned short& startCounter;
    unsigned short& pointCounter;
    unsigned short& controlWord;
    double& clockPeriod;  // seconds
    double& stepTime;     // seconds between DDF points
  };

  using DynFunc = bool (*)(const CCalcDynValueConstParameter&, CCalcDynValueReturnParameter&);
  using SlideDelayFactorFunc = LONG (*)(const CDynamicDepthFocusing&, const LONG&);
  using FirstSlideDelayFactorFunc = LONG (*)(const LONG&);
  using DynNumberIncrementFunc = void (*)(const unsigned short&, unsigned short&);

  void SetMaximumDDFPoint(const int& v) { m_maximumDDFPoint = v; }
  const int& GetMaximumDDFPoint() const { return m_maximumDDFPoint; }
  void SetSupportOldPacFileFormat(const bool& v) { m_supportOldPacFileFormat = v; }
  const bool& GetSupportOldPacFileFormat() const { return m_supportOldPacFileFormat; }
  void SetSlideStep(const int& v) { m_slideStep = v; }
  const int& GetSlideStep() const { return m_slideStep; }
  void SetDynDividerMask(const int& v) { m_dynDividerMask = v; }
  const int& GetDynDividerMask() const { return m_dynDividerMask; }
  void SetFirstSlideDelayFactor(const LONG& v) { m_firstSlideDelayFactor = v; }
  const LONG& GetFirstSlideDelayFactor() const { return m_firstSlideDelayFactor; }
  void SetMaximumHoldLength(const LONG& v) { m_maximumHoldLength = v; }
  const LONG& GetMaximumHoldLength() const { return m_maximumHoldLength; }
  void SetDDFPodTypeName(const std::string& v) { m_podTypeName = v; }
  const std::string& GetDDFPodTypeName() const { return m_podTypeName; }

  void SetDynFunc(const DynFunc& f) { m_dynFunc = f; }
  void SetSlideDelayFactorFunc(const SlideDelayFactorFunc& f) { m_slideDelayFactorFunc = f; }
  void SetFirstSlideDelayFactorFunc(const FirstSlideDelayFactorFunc& f) {
    m_firstSlideDelayFactorFunc = f;
  }
  void SetDynNumberIncrementFunc(const DynNumberIncrementFunc& f) { m_dynNumberIncrementFunc = f; }

  // Calls the value function: 1 when it accepted the inputs, 0 otherwise. Without a value
  // function every output is cleared and the result is 0.
  int CalcDynValue(const CCalcDynValueConstParameter& in, CCalcDynValueReturnParameter& out) const;
  // Calls the number-increment function; without one, b stays as it is.
  void CalcDynNumberIncrement(const unsigned short& a, unsigned short& b) const;
  // Call the delay-factor functions; without one the result is 0.
  LONG CalcFirstSlideDelayFactor(const LONG& x) const;
  LONG CalcSlideDelayFactor(const CDynamicDepthFocusing& ddf, const LONG& x) const;

  // First board family (board type 1).
  static bool CalcDynValueVarda(const CCalcDynValueConstParameter& in,
                                CCalcDynValueReturnParameter& out);
  static void CalcDynNumberIncrementVarda(const unsigned short& a, unsigned short& b);
  static LONG CalcFirstSlideDelayFactorVarda(const LONG& x);
  static LONG CalcSlideDelayFactorVarda(const CDynamicDepthFocusing& ddf, const LONG& x);
  // Second board family (board type 8).
  static bool CalcDynValueTolvo(const CCalcDynValueConstParameter& in,
                                CCalcDynValueReturnParameter& out);
  static void CalcDynNumberIncrementTolvo(const unsigned short& a, unsigned short& b);
  static LONG CalcFirstSlideDelayFactorTolvo(const LONG& x);
  static LONG CalcSlideDelayFactorTolvo(const CDynamicDepthFocusing& ddf, const LONG& x);

 private:
  int m_maximumDDFPoint = 0;
  bool m_supportOldPacFileFormat = false;
  int m_slideStep = 0;
  int m_dynDividerMask = 0;
  LONG m_firstSlideDelayFactor = 0;
  LONG m_maximumHoldLength = 0;
  std::string m_podTypeName;
  DynFunc m_dynFunc = nullptr;
  SlideDelayFactorFunc m_slideDelayFactorFunc = nullptr;
  FirstSlideDelayFactorFunc m_firstSlideDelayFactorFunc = nullptr;
  DynNumberIncrementFunc m_dynNumberIncrementFunc = nullptr;
};

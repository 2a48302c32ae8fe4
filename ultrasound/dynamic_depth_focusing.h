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

  void SetMaximumDDFPoint(const int& v) { maximumDDFPoint_ = v; }
  const int& GetMaximumDDFPoint() const { return maximumDDFPoint_; }
  void SetSupportOldPacFileFormat(const bool& v) { supportOldPacFileFormat_ = v; }
  const bool& GetSupportOldPacFileFormat() const { return supportOldPacFileFormat_; }
  void SetSlideStep(const int& v) { slideStep_ = v; }
  const int& GetSlideStep() const { return slideStep_; }
  void SetDynDividerMask(const int& v) { dynDividerMask_ = v; }
  const int& GetDynDividerMask() const { return dynDividerMask_; }
  void SetFirstSlideDelayFactor(const LONG& v) { firstSlideDelayFactor_ = v; }
  const LONG& GetFirstSlideDelayFactor() const { return firstSlideDelayFactor_; }
  void SetMaximumHoldLength(const LONG& v) { maximumHoldLength_ = v; }
  const LONG& GetMaximumHoldLength() const { return maximumHoldLength_; }
  void SetDDFPodTypeName(const std::string& v) { podTypeName_ = v; }
  const std::string& GetDDFPodTypeName() const { return podTypeName_; }

  void SetDynFunc(const DynFunc& f) { dynFunc_ = f; }
  void SetSlideDelayFactorFunc(const SlideDelayFactorFunc& f) { slideDelayFactorFunc_ = f; }
  void SetFirstSlideDelayFactorFunc(const FirstSlideDelayFactorFunc& f) {
    firstSlideDelayFactorFunc_ = f;
  }
  void SetDynNumberIncrementFunc(const DynNumberIncrementFunc& f) { dynNumberIncrementFunc_ = f; }

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
  int maximumDDFPoint_ = 0;
  bool supportOldPacFileFormat_ = false;
  int slideStep_ = 0;
  int dynDividerMask_ = 0;
  LONG firstSlideDelayFactor_ = 0;
  LONG maximumHoldLength_ = 0;
  std::string podTypeName_;
  DynFunc dynFunc_ = nullptr;
  SlideDelayFactorFunc slideDelayFactorFunc_ = nullptr;
  FirstSlideDelayFactorFunc firstSlideDelayFactorFunc_ = nullptr;
  DynNumberIncrementFunc dynNumberIncrementFunc_ = nullptr;
};

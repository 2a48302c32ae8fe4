#include "ultrasound/calculator_data.h"

CCalculatorData::CCalculatorData(const CCalculatorData& o)
    : allLaws_(o.allLaws_),
      pulserVoltage_(o.pulserVoltage_),
      unitSystem_(o.unitSystem_),
      ddf_(o.ddf_),
      calculator_(o.calculator_),
      displaySettings_(o.displaySettings_),
      channel_(o.channel_),
      deviceParameters_(o.deviceParameters_),
      specimen_(o.specimen_) {}

CCalculatorData& CCalculatorData::operator=(const CCalculatorData& o) {
  allLaws_ = o.allLaws_;
  pulserVoltage_ = o.pulserVoltage_;
  unitSystem_ = o.unitSystem_;
  ddf_ = o.ddf_;
  calculator_ = o.calculator_;
  displaySettings_ = o.displaySettings_;
  channel_ = o.channel_;
  deviceParameters_ = o.deviceParameters_;
  specimen_ = o.specimen_;
  return *this;
}

CCalculatorData::~CCalculatorData() {
  specimen_.Release();
  deviceParameters_.Release();
  channel_.Release();
  calculator_ = nullptr;
  displaySettings_.Release();
}

bool CCalculatorData::InitCalculator(IUnknown* calculator) {
  if (!calculator) return false;
  calculator_ = calculator;
  return true;
}

void CCalculatorData::GetCalculator(IUnknown** out) const {
  if (out) *out = calculator_;
}

int CCalculatorData::GetAttenuation(unsigned int) const { return -1; }

void CCalculatorData::SetDDFData(const UltrasoundTypes::tagEBoardType& board) {
  using D = CDynamicDepthFocusing;
  if (board == UltrasoundTypes::eBoardVarda) {
    ddf_.SetMaximumDDFPoint(0x4000);
    ddf_.SetMaximumHoldLength(2);
    ddf_.SetSlideDelayFactorFunc(&D::CalcSlideDelayFactorVarda);
    ddf_.SetFirstSlideDelayFactorFunc(&D::CalcFirstSlideDelayFactorVarda);
    ddf_.SetDynFunc(&D::CalcDynValueVarda);
    ddf_.SetDynNumberIncrementFunc(&D::CalcDynNumberIncrementVarda);
    ddf_.SetDynDividerMask(0x3FF);
    ddf_.SetSupportOldPacFileFormat(true);
    ddf_.SetDDFPodTypeName("VARDA");
  } else if (board == UltrasoundTypes::eBoardVardaLT) {
    ddf_.SetMaximumDDFPoint(0x4000);
    ddf_.SetMaximumHoldLength(6);
    ddf_.SetSlideDelayFactorFunc(&D::CalcSlideDelayFactorTolvo);
    ddf_.SetFirstSlideDelayFactorFunc(&D::CalcFirstSlideDelayFactorTolvo);
    ddf_.SetDynFunc(&D::CalcDynValueTolvo);
    ddf_.SetDynNumberIncrementFunc(&D::CalcDynNumberIncrementTolvo);
    ddf_.SetDynDividerMask(0xFFF);
    ddf_.SetSupportOldPacFileFormat(false);
    ddf_.SetDDFPodTypeName("VardaLT");
  }
}

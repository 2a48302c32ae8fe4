#include "ultrasound/calculator_data.h"

CCalculatorData::CCalculatorData(const CCalculatorData& o)
    : m_allLaws(o.m_allLaws),
      m_pulserVoltage(o.m_pulserVoltage),
      m_unitSystem(o.m_unitSystem),
      m_ddf(o.m_ddf),
      m_calculator(o.m_calculator),
      m_displaySettings(o.m_displaySettings),
      m_channel(o.m_channel),
      m_deviceParameters(o.m_deviceParameters),
      m_specimen(o.m_specimen) {}

CCalculatorData& CCalculatorData::operator=(const CCalculatorData& o) {
  m_allLaws = o.m_allLaws;
  m_pulserVoltage = o.m_pulserVoltage;
  m_unitSystem = o.m_unitSystem;
  m_ddf = o.m_ddf;
  m_calculator = o.m_calculator;
  m_displaySettings = o.m_displaySettings;
  m_channel = o.m_channel;
  m_deviceParameters = o.m_deviceParameters;
  m_specimen = o.m_specimen;
  return *this;
}

CCalculatorData::~CCalculatorData() {
  m_specimen.Release();
  m_deviceParameters.Release();
  m_channel.Release();
  m_calculator = nullptr;
  m_displaySettings.Release();
}

bool CCalculatorData::InitCalculator(IUnknown* calculator) {
  if (!calculator) return false;
  m_calculator = calculator;
  return true;
}

void CCalculatorData::GetCalculator(IUnknown** out) const {
  if (out) *out = m_calculator;
}

int CCalculatorData::GetAttenuation(unsigned int) const { return -1; }

void CCalculatorData::SetDDFData(const UltrasoundTypes::tagEBoardType& board) {
  using D = CDynamicDepthFocusing;
  if (board == UltrasoundTypes::eBoardVarda) {
    m_ddf.SetMaximumDDFPoint(0x4000);
    m_ddf.SetMaximumHoldLength(2);
    m_ddf.SetSlideDelayFactorFunc(&D::CalcSlideDelayFactorVarda);
    m_ddf.SetFirstSlideDelayFactorFunc(&D::CalcFirstSlideDelayFactorVarda);
    m_ddf.SetDynFunc(&D::CalcDynValueVarda);
    m_ddf.SetDynNumberIncrementFunc(&D::CalcDynNumberIncrementVarda);
    m_ddf.SetDynDividerMask(0x3FF);
    m_ddf.SetSupportOldPacFileFormat(true);
    m_ddf.SetDDFPodTypeName("VARDA");
  } else if (board == UltrasoundTypes::eBoardVardaLT) {
    m_ddf.SetMaximumDDFPoint(0x4000);
    m_ddf.SetMaximumHoldLength(6);
    m_ddf.SetSlideDelayFactorFunc(&D::CalcSlideDelayFactorTolvo);
    m_ddf.SetFirstSlideDelayFactorFunc(&D::CalcFirstSlideDelayFactorTolvo);
    m_ddf.SetDynFunc(&D::CalcDynValueTolvo);
    m_ddf.SetDynNumberIncrementFunc(&D::CalcDynNumberIncrementTolvo);
    m_ddf.SetDynDividerMask(0xFFF);
    m_ddf.SetSupportOldPacFileFormat(false);
    m_ddf.SetDDFPodTypeName("VardaLT");
  }
}

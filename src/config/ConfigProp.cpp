#include "config/ConfigProp.h"

CConfigProp::CConfigProp(RegSettings& settings, const ProfileStore& store, ConfigServices& services,
                         int* frameRateClicks)
    : m_General(settings, store, frameRateClicks), m_Images(settings, services) {}

std::string CConfigProp::Validate(Page& page) const {
    std::string message = m_General.Validate();
    if (!message.empty())
        page = GeneralPage;
    return message;
}

void CConfigProp::OnOK() {
    m_General.OnOK();
    m_Images.OnOK();
}

void CConfigProp::OnCancel() {
    m_Images.OnCancel();
}

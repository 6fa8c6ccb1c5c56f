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

std::string CConfigProp::OnOK() {
    std::string problem = m_General.OnOK();
    const std::string images = m_Images.OnOK();
    if (problem.empty())
        problem = images;
    if (problem.empty())
        return problem;
    return "The settings were not saved.\n\n" + problem;
}

void CConfigProp::OnCancel() {
    m_Images.OnCancel();
}

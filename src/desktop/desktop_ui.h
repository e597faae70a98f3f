// The analysis's questions answered by the program's windows.
#pragma once

#include "analysis/driver.h"
#include "desktop/desktop.h"

namespace orvane {

class DesktopUi : public DriverUi {
public:
    explicit DesktopUi(DesktopSession& ds) : ds_(ds) {}
    std::string question(const Question& q) override;
    void warning(const std::string& message, const std::string& title) override;
    void error(const std::string& message, const std::string& title) override;
    int menu(const std::string& header, const std::vector<std::string>& items) override;
    void loadData(Session& session) override;
    std::string chooseFolder(const std::string& prompt, const std::string& start) override;
    std::unique_ptr<Progress> openProgress(const std::vector<std::string>& stages, const std::string& title) override;

private:
    DesktopSession& ds_;
};

}  // namespace orvane

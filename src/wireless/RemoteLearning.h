#pragma once
// Learning the code of a radio remote control (key fob), rows 1 to 10 of
// "Радиопульты": "Pr" starts listening, "Uk" stops it, the answer is the
// fob's code. Without an answer within 10 s the row's button reads "Читать"
// again and "Uk" is sent.

#include "wireless/CodeLearning.h"

namespace t6 {

class ConfigModel;

class RemoteLearning : public CodeLearning {
public:
    static constexpr int kRows = RemoteControlCount;

    RemoteLearning(ExchangeController& exchange, ConfigModel& model);

    // PendingRemoteRow: the row whose request was sent last.
    int pendingRemoteRow() const { return pendingRow(); }

private:
    Bytes cancelRequest(int row) const override;
    std::string waitText() const override;
    void takeCode(int row, const std::string& code) override;
    void timedOut() override;

    ConfigModel& model_;
};

} // namespace t6

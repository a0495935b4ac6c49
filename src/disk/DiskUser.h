#pragma once

#include <QtGlobal>
#include <optional>

// The signed-in cloud-disk account.
class DiskUser {
public:
    // The account number; empty before the account query has answered.
    std::optional<qint64> uin() const { return m_uin; }
    void setUin(std::optional<qint64> uin) { m_uin = uin; }

private:
    std::optional<qint64> m_uin;
};

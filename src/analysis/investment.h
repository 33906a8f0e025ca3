#pragma once

#include <cstdint>

#include "model/data_point.h"

// The invested amounts following the flags, one point after the other: the account enters at
// the day's price paying the charge, follows the price while in, and leaves at the day's price
// paying the charge again.
class CInvestment {
  public:
    CInvestment(double input, double charge) : m_gross(input), m_net(input), m_charge(charge) {}

    void Next(double price, int32_t flag) {
        if (EntersMarket(m_previous, flag)) {
            m_entryPrice = price;
            m_grossBase = m_gross;
            m_net -= m_charge;
            m_netBase = m_net;
        }
        if (flag == 1) {
            if (m_entryPrice != 0.0) {
                m_gross = price * m_grossBase / m_entryPrice;
                m_net = price * m_netBase / m_entryPrice;
            }
        } else if (m_previous == 1) {
            if (m_entryPrice != 0.0 && price != 0.0) {
                m_gross = price * m_grossBase / m_entryPrice;
                m_net = price * m_netBase / m_entryPrice;
            }
            m_net -= m_charge;
        }
        m_previous = flag;
    }

    double Gross() const { return m_gross; }
    double Net() const { return m_net; }

  private:
    double m_gross;
    double m_net;
    double m_charge;
    double m_entryPrice = 0.0;
    double m_grossBase = 0.0;
    double m_netBase = 0.0;
    int32_t m_previous = 0;
};

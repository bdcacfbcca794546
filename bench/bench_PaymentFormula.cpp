// Payments computed per second by CalcPayment over a varied input set, on one core.
#include "calc/PaymentFormula.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

struct Input
{
    qint32 n;
    qint32 code;
    long double amount;
    long double rate;
};

std::vector<Input> inputs()
{
    std::vector<Input> v;
    const qint32 terms[] = {1, 12, 36, 60, 120, 180, 240, 360, 480, 1000, 10000};
    const long double rates[] = {0.5L, 3.25L, 4.875L, 6.0L, 8.75L, 12.0L, 18.5L, 24.99L};
    const long double amounts[] = {1000.0L, 25000.0L, 100000.0L, 250000.0L, 1234567.89L};
    for (qint32 n : terms)
        for (qint32 code = 0; code <= 9; ++code)
            for (long double r : rates)
                for (long double a : amounts)
                    v.push_back({n, code, a, r});
    return v;
}

} // namespace

int main()
{
    const std::vector<Input> set = inputs();
    constexpr int rounds = 7;
    std::vector<double> perSecond;
    volatile long double sink = 0;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        long long count = 0;
        long double sum = 0;
        for (int repeat = 0; repeat < 60; ++repeat) {
            for (const Input& in : set) {
                sum += PaymentFormula::CalcPayment(in.n, in.code, in.amount, in.rate);
                ++count;
            }
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        sink = sink + sum;
        perSecond.push_back(count / seconds);
    }
    std::sort(perSecond.begin(), perSecond.end());
    std::printf("payment formula: %.1f million payments/s (median of %d rounds, %zu inputs)"
                "   bar: >= 10 million/s\n",
                perSecond[rounds / 2] / 1e6, rounds, set.size());
    return 0;
}

#include "ModelState/RovuRiza_Pickup.h"

#include <Eigen/Dense>

namespace
{
constexpr double kSeriesResistance = 15000.0;
constexpr double kInductance = 1.0;
constexpr double kCapacitance = 820e-12;

// Running sum rounded to float32 after every addition, as the coefficients are stored.
float AccumulateRounded(double start, const double* gains, const double* values, int count)
{
    float sum = static_cast<float>(start);
    for (int k = 0; k < count; ++k)
        sum = static_cast<float>(static_cast<double>(sum) + gains[k] * values[k]);
    return sum;
}
} // namespace

void RovuRiza_BuildPickupModel(RovuRiza_PickupModel& m, double fs) noexcept
{
    const double gR = 1.0 / kSeriesResistance;
    const double gL = (1.0 / fs) * (0.5 / kInductance);
    const double gC = fs * (2.0 * kCapacitance);
    m.seriesConductance = gR;
    m.inductorConductance = gL;
    m.capacitorConductance = gC;

    // Unknowns: V1, V2, V3 and the source current. Trapezoidal companions for L and C.
    double(&S)[4][4] = m.systemMatrix;
    double(&N)[4][3] = m.elementIncidence;
    for (auto& row : S)
        for (double& v : row)
            v = 0.0;
    for (auto& row : N)
        for (double& v : row)
            v = 0.0;
    for (int r = 0; r < 4; ++r)
    {
        m.inputIncidence[r] = 0.0;
        m.auxInputIncidence[r] = 0.0;
    }
    S[0][0] += gR;
    S[0][1] -= gR;
    S[1][0] -= gR;
    S[1][1] += gR;
    S[1][1] += gL;
    S[1][2] -= gL;
    S[2][1] -= gL;
    S[2][2] += gL;
    S[2][2] += gC;
    S[0][3] += 1.0;
    S[3][0] += 1.0;
    N[1][0] = -1.0;
    N[2][0] = 1.0;
    N[2][1] = 1.0;
    N[2][2] = -1.0;
    m.inputIncidence[3] = 1.0;

    {
        // Fixed-size working matrices: LU with partial pivoting on the stack, so the set-up
        // cannot fail on an allocation.
        Eigen::Matrix4d system;
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                system(r, c) = S[r][c];
        const Eigen::Matrix4d inverse = Eigen::PartialPivLU<Eigen::Matrix4d>(system).inverse();
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                m.systemInverse[r][c] = inverse(r, c);
    }
    const double(&Si)[4][4] = m.systemInverse;

    for (int j = 0; j < 4; ++j)
    {
        for (int k = 0; k < 3; ++k)
        {
            double sum = 0.0;
            for (int c = 0; c < 4; ++c)
                sum += Si[j][c] * N[c][k];
            m.elementResponse[j][k] = sum;
            m.elementResponseF[j][k] = static_cast<float>(sum);
        }
        double q = 0.0;
        double aux = 0.0;
        for (int c = 0; c < 4; ++c)
        {
            q += Si[j][c] * m.inputIncidence[c];
            aux += Si[j][c] * m.auxInputIncidence[c];
        }
        m.inputResponse[j] = q;
        m.auxInputResponse[j] = aux;
        m.inputResponseF[j] = static_cast<float>(q);
        m.auxInputResponseF[j] = static_cast<float>(aux);
    }

    const double(&P)[4][3] = m.elementResponse;
    double(&X)[3][3] = m.elementVoltage;
    for (int c = 0; c < 3; ++c)
    {
        X[0][c] = P[1][c] - P[2][c]; // inductor voltage V2 - V3
        X[1][c] = P[2][c];           // capacitor voltage V3
        X[2][c] = 0.0;
    }
    const double* responses[2] = {m.inputResponse, m.auxInputResponse};
    for (int u = 0; u < 2; ++u)
    {
        m.elementInput[u][0] = responses[u][1] - responses[u][2];
        m.elementInput[u][1] = responses[u][2];
        m.elementInput[u][2] = 0.0;
    }

    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
        {
            m.companionGain[r][c] = 0.0;
            m.companionSign[r][c] = 0.0;
        }
    m.companionGain[0][0] = 2.0 * gL;
    m.companionGain[1][1] = 2.0 * gC;
    m.companionSign[0][0] = 1.0;
    m.companionSign[1][1] = -1.0;
    m.companionSign[2][2] = 1.0;

    for (int r = 0; r < 3; ++r)
    {
        for (int c = 0; c < 3; ++c)
        {
            const double column[3] = {X[0][c], X[1][c], X[2][c]};
            m.pickupA[r][c] =
                AccumulateRounded(m.companionSign[r][c], m.companionGain[r], column, 3);
        }
        for (int u = 0; u < 2; ++u)
            m.pickupB[u][r] = AccumulateRounded(0.0, m.companionGain[r], m.elementInput[u], 3);
    }
    for (int c = 0; c < 3; ++c)
        m.pickupC[c] = m.elementResponseF[2][c];
    m.pickupD = m.inputResponseF[2];
}

void RovuRiza_LoadPickup(const RovuRiza_ModelState& state, RovuRiza_PickupVars& p) noexcept
{
    const RovuRiza_PickupModel& m = state.pickupModel;
    p.s0 = state.pickupState[0];
    p.s1 = state.pickupState[1];
    p.a00 = m.pickupA[0][0];
    p.a01 = m.pickupA[0][1];
    p.a10 = m.pickupA[1][0];
    p.a11 = m.pickupA[1][1];
    p.b0 = m.pickupB[0][0];
    p.b1 = m.pickupB[0][1];
    p.c0 = m.pickupC[0];
    p.c1 = m.pickupC[1];
    p.d = m.pickupD;
}

void RovuRiza_StorePickup(const RovuRiza_PickupVars& p, RovuRiza_ModelState& state) noexcept
{
    state.pickupState[0] = p.s0;
    state.pickupState[1] = p.s1;
    state.pickupState[2] = 0.0f;
}

// Every fitted model against an independent least-squares solution (Eigen, by QR or SVD rather
// than normal equations): exact synthetic maps are recovered, noisy ones give the reference
// parameters, and the AIC follows from the reference residuals.
#include "veltrane/conversion/CoordConvAffine.h"
#include "veltrane/conversion/CoordConvHelmert.h"
#include "veltrane/conversion/CoordConvParaTrans.h"
#include "veltrane/conversion/CoordConvSimilar.h"
#include "veltrane/tests/EngineTestSupport.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <random>

using namespace enginetest;

namespace {

constexpr double kSecPerRad = 206264.80624709636;
constexpr int kBasis = 12;

struct Pair {
    double x, y, xd, yd;
};

using Map = std::function<void(double x, double y, double *xd, double *yd)>;
// The design rows of one pair for X' and Y', and the observed values.
using Rows = std::function<void(const Pair &, Eigen::RowVectorXd &rx, Eigen::RowVectorXd &ry,
                                double &bx, double &by)>;

// A survey area: the centre of the marks in the zone.
struct Area {
    const char *name;
    double x, y;
    // Whether the fits on raw coordinates (plain Helmert and affine) reach the perfect-fit AIC
    // with an exact map: their normal equations leave about 1e-11 m 30 km from the origin.
    bool rawFitsPerfect;
};

// Basis marks spread over 8 km around the area, mapped by `map`, with uniform noise of up to
// `noise` metres on the new coordinates; and five targets.
class ReferenceFit : public ::testing::TestWithParam<Area> {
  protected:
    void Build(const Map &map, double noise, unsigned seed = 20240611) {
        const Area area = GetParam();
        std::mt19937_64 rng(seed);
        std::uniform_real_distribution<double> spread(-4000.0, 4000.0);
        std::uniform_real_distribution<double> jitter(-noise, noise);
        for (int i = 0; i < kBasis; ++i) {
            Pair p{area.x + spread(rng), area.y + spread(rng), 0.0, 0.0};
            map(p.x, p.y, &p.xd, &p.yd);
            p.xd += jitter(rng);
            p.yd += jitter(rng);
            pairs.push_back(p);
            const CString name = CString("B") + std::to_string(i).c_str();
            db.Append(BasisPoint(i + 1, name, p.x, p.y, p.xd, p.yd));
        }
        for (int i = 0; i < 5; ++i) {
            Pair t{area.x + spread(rng), area.y + spread(rng), 0.0, 0.0};
            map(t.x, t.y, &t.xd, &t.yd);
            targets.push_back(t);
        }
    }

    // The least-squares solution of the rows [X row; Y row] per pair, by column-pivoting QR.
    Eigen::VectorXd Solve(int unknowns, const Rows &rows) const {
        Eigen::MatrixXd A(2 * pairs.size(), unknowns);
        Eigen::VectorXd b(2 * pairs.size());
        Eigen::RowVectorXd rx(unknowns), ry(unknowns);
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            rows(pairs[i], rx, ry, b(2 * i), b(2 * i + 1));
            A.row(2 * i) = rx;
            A.row(2 * i + 1) = ry;
        }
        const Eigen::VectorXd u = A.colPivHouseholderQr().solve(b);
        residual = A * u - b;
        return u;
    }

    // 2n ln(x) + 2k + 2 from the reference residuals, x the squared deviation in mm^2.
    double ReferenceAIC(int k) const {
        const double sigma = std::sqrt(residual.squaredNorm() / (2.0 * kBasis - k));
        const double x = (1000.0 * sigma) * (1000.0 * sigma);
        return 2.0 * kBasis * std::log(x) + 2.0 * k + 2.0;
    }

    Eigen::Vector2d Centroid(bool source) const {
        Eigen::Vector2d c(0.0, 0.0);
        for (const Pair &p : pairs)
            c += source ? Eigen::Vector2d(p.x, p.y) : Eigen::Vector2d(p.xd, p.yd);
        return c / pairs.size();
    }

    // The rotation R (X' = R x) that best maps the centred sources onto the centred
    // destinations, by the SVD of their cross-covariance.
    Eigen::Matrix2d Procrustes() const {
        const Eigen::Vector2d cs = Centroid(true), cd = Centroid(false);
        Eigen::Matrix2d H = Eigen::Matrix2d::Zero();
        for (const Pair &p : pairs)
            H += (Eigen::Vector2d(p.x, p.y) - cs) * (Eigen::Vector2d(p.xd, p.yd) - cd).transpose();
        Eigen::JacobiSVD<Eigen::Matrix2d> svd(H, Eigen::ComputeFullU | Eigen::ComputeFullV);
        Eigen::Matrix2d R = svd.matrixV() * svd.matrixU().transpose();
        EXPECT_GT(R.determinant(), 0.0);
        return R;
    }

    // Fits, then checks that the targets convert to the exact map within 1e-9 m, that the
    // residuals of the basis copies stay within 1e-9 m and, where the engine reaches it, the
    // perfect-fit AIC.
    void ExpectExact(CoordConvParam &engine, const CoordCnvOption &option, bool perfect = true) {
        ASSERT_TRUE(engine.Calculation(option));
        for (const Pair &t : targets) {
            Coordinate out;
            CoordConvStatusD status = CrdCnvStatNone;
            ASSERT_TRUE(
                engine.Transform(Coordinate(t.x, t.y, 0.0, false, 0.0, false), &out, &status));
            EXPECT_NEAR(out.GetX(), t.xd, 1e-9);
            EXPECT_NEAR(out.GetY(), t.yd, 1e-9);
        }
        const PrecisionChkTable &residuals = engine.GetPrecChkTable();
        ASSERT_EQ(residuals.size(), static_cast<unsigned>(kBasis));
        for (const Point *p : residuals) {
            EXPECT_NEAR(residuals.GetResidualX(p), 0.0, 1e-9);
            EXPECT_NEAR(residuals.GetResidualY(p), 0.0, 1e-9);
        }
        if (perfect) {
            EXPECT_EQ(engine.GetAICParam(), 0.0);
        }
    }

    Veltrane db;
    std::vector<Pair> pairs;
    std::vector<Pair> targets;
    mutable Eigen::VectorXd residual;
};

Map Helmert(double a, double b, double tx, double ty) {
    return [=](double x, double y, double *xd, double *yd) {
        *xd = a * x + b * y + tx;
        *yd = -b * x + a * y + ty;
    };
}

Map AffineMap(double a0, double a1, double a2, double a3, double tx, double ty) {
    return [=](double x, double y, double *xd, double *yd) {
        *xd = a0 * x + a2 * y + tx;
        *yd = a1 * x + a3 * y + ty;
    };
}

void HelmertRows(const Pair &p, Eigen::RowVectorXd &rx, Eigen::RowVectorXd &ry, double &bx,
                 double &by) {
    rx << p.x, p.y, 1.0, 0.0;
    ry << p.y, -p.x, 0.0, 1.0;
    bx = p.xd;
    by = p.yd;
}

void AffineRows(const Pair &p, Eigen::RowVectorXd &rx, Eigen::RowVectorXd &ry, double &bx,
                double &by) {
    rx << p.x, 0.0, p.y, 0.0, 1.0, 0.0;
    ry << 0.0, p.x, 0.0, p.y, 0.0, 1.0;
    bx = p.xd;
    by = p.yd;
}

CoordCnvOption Kind(int calcKind, double scale = 1.0, double height = 0.0) {
    CoordCnvOption option;
    option.m_nFlag = calcKind;
    option.m_dScaleFactor = scale;
    option.m_dMeanHeight = height;
    return option;
}

// The correction factor of the scaled options below.
constexpr double kScale = 0.9999;
constexpr double kHeight = 637.0;
const double kF = kScale * (1.0 - kHeight / 6370000.0);

const Map kHelmert = Helmert(1.0000123, 2.5e-5, 355.6, -292.8);
const Map kAffine = AffineMap(1.00001, -3.1e-5, 2.2e-5, 0.99998, 355.6, -292.8);

TEST_P(ReferenceFit, ExactMapsAreRecoveredWithThePerfectFitAIC) {
    Build(kHelmert, 0.0);
    CoordConvHelmert helmert(db, &db, CoordConvParam::CalcModeNormal, 0);
    ExpectExact(helmert, Kind(2), GetParam().rawFitsPerfect);
    // The centroid-reduced forms without scale, and the third form with the correction.
    CoordConvHelmert2 helmert2(db, &db, CoordConvParam::CalcModeNormal, 0);
    ExpectExact(helmert2, Kind(0));
    CoordConvHelmert3 helmert3(db, &db, CoordConvParam::CalcModeNormal, 0);
    ExpectExact(helmert3, Kind(2, kScale, kHeight));
    EXPECT_NEAR(helmert3.GetScaleFactor() * kF, std::hypot(1.0000123, 2.5e-5), 1e-14);
}

TEST_P(ReferenceFit, ExactAffineAndRigidMapsAreRecovered) {
    Build(kAffine, 0.0);
    CoordConvAffine affine(db, &db, CoordConvParam::CalcModeNormal, 0);
    ExpectExact(affine, Kind(2), GetParam().rawFitsPerfect);
    CoordConvAffine2 affine2(db, &db, CoordConvParam::CalcModeNormal, 0);
    ExpectExact(affine2, Kind(2, kScale, kHeight));
}

TEST_P(ReferenceFit, ExactRotationAndTranslationMapsAreRecovered) {
    const double angle = 7.5 / kSecPerRad;
    Build(Helmert(std::cos(angle), std::sin(angle), 355.6, -292.8), 0.0);
    // Unit scale: the land-surveyor Helmert with calculation kind 1.
    CoordConvHelmert2 rigid(db, &db, CoordConvParam::CalcModeNormal, 0);
    ExpectExact(rigid, Kind(1));
    EXPECT_NEAR(rigid.GetRotationAngle(), 7.5, 1e-9);
    EXPECT_EQ(rigid.GetScaleFactor(), 1.0);
}

TEST_P(ReferenceFit, ExactTranslationsAreRecovered) {
    Build(Helmert(1.0, 0.0, 355.6, -292.8), 0.0);
    CoordConvParaTrans mean(db, &db, CoordConvParam::CalcModeNormal, 0);
    ExpectExact(mean, Kind(2));
    CoordConvParaTrans2 centroid(db, &db, CoordConvParam::CalcModeNormal, 0);
    ExpectExact(centroid, Kind(1));
    CoordConvSimilar similar(db, &db, CoordConvParam::CalcModeNormal, 0);
    ExpectExact(similar, Kind(2));
    EXPECT_NEAR(similar.GetRotationAngle(), 0.0, 1e-9);
}

TEST_P(ReferenceFit, NoisyHelmertMatchesTheReferenceParameters) {
    Build(kHelmert, 0.02);
    const Eigen::VectorXd u = Solve(4, HelmertRows);
    CoordConvHelmert helmert(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(helmert.Calculation(Kind(2)));
    EXPECT_NEAR(helmert.GetScaleFactor(), u(0), 1e-12);
    EXPECT_NEAR(helmert.GetRotationAngle(), u(1) * kSecPerRad, 1e-7);
    EXPECT_NEAR(helmert.GetTransParaX(), u(2), 1e-6);
    EXPECT_NEAR(helmert.GetTransParaY(), u(3), 1e-6);
    EXPECT_NEAR(helmert.GetAICParam(), ReferenceAIC(4), 1e-6);

    // Centroid reduction changes nothing of the least-squares map.
    CoordConvHelmert2 reduced(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(reduced.Calculation(Kind(0)));
    EXPECT_NEAR(reduced.GetScaleFactor(), std::hypot(u(0), u(1)), 1e-12);
    EXPECT_NEAR(reduced.GetRotationAngle(), std::atan2(u(1), u(0)) * kSecPerRad, 1e-7);
    EXPECT_NEAR(reduced.GetTransParaX(), u(2), 1e-6);
    EXPECT_NEAR(reduced.GetTransParaY(), u(3), 1e-6);
    EXPECT_NEAR(reduced.GetAICParam(), ReferenceAIC(3), 1e-6);

    // The third form fits the sources scaled by f: its scale is the reference over f.
    CoordConvHelmert3 third(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(third.Calculation(Kind(2, kScale, kHeight)));
    EXPECT_NEAR(third.GetScaleFactor() * kF, std::hypot(u(0), u(1)), 1e-12);
    EXPECT_NEAR(third.GetRotationAngle(), std::atan2(u(1), u(0)) * kSecPerRad, 1e-7);
    EXPECT_NEAR(third.GetTransParaX(), u(2), 1e-6);
    EXPECT_NEAR(third.GetTransParaY(), u(3), 1e-6);
}

TEST_P(ReferenceFit, NoisyRotationsMatchTheProcrustesSolution) {
    Build(kHelmert, 0.02);
    const Eigen::Matrix2d R = Procrustes();
    const Eigen::Vector2d cs = Centroid(true), cd = Centroid(false);
    const double seconds = std::atan2(R(0, 1), R(0, 0)) * kSecPerRad;
    // Kind 1: unit scale; kind 2: the correction factor, with the same best rotation.
    for (const auto &[option, f] :
         {std::pair{Kind(1), 1.0}, std::pair{Kind(2, kScale, kHeight), kF}}) {
        CoordConvHelmert2 rigid(db, &db, CoordConvParam::CalcModeNormal, 0);
        ASSERT_TRUE(rigid.Calculation(option));
        EXPECT_NEAR(rigid.GetRotationAngle(), seconds, 1e-7);
        const Eigen::Vector2d t = cd - f * R * cs;
        EXPECT_NEAR(rigid.GetTransParaX(), t(0), 1e-6);
        EXPECT_NEAR(rigid.GetTransParaY(), t(1), 1e-6);
        for (const Pair &p : targets) {
            Coordinate out;
            ASSERT_TRUE(
                rigid.Transform(Coordinate(p.x, p.y, 0.0, false, 0.0, false), &out, nullptr));
            const Eigen::Vector2d expected = cd + f * R * (Eigen::Vector2d(p.x, p.y) - cs);
            EXPECT_NEAR(out.GetX(), expected(0), 1e-8);
            EXPECT_NEAR(out.GetY(), expected(1), 1e-8);
        }
    }
}

TEST_P(ReferenceFit, NoisyAffineMatchesTheReferenceParameters) {
    Build(kAffine, 0.02);
    const Eigen::VectorXd u = Solve(6, AffineRows);
    CoordConvAffine affine(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(affine.Calculation(Kind(2)));
    EXPECT_NEAR(affine.GetScaleFactorX(), u(0), 1e-12);
    EXPECT_NEAR(affine.GetRotationAngleX(), u(1) * kSecPerRad, 1e-7);
    EXPECT_NEAR(affine.GetRotationAngleY(), u(2) * kSecPerRad, 1e-7);
    EXPECT_NEAR(affine.GetScaleFactorY(), u(3), 1e-12);
    EXPECT_NEAR(affine.GetTransParaX(), u(4), 1e-6);
    EXPECT_NEAR(affine.GetTransParaY(), u(5), 1e-6);
    EXPECT_NEAR(affine.GetAICParam(), ReferenceAIC(6), 1e-6);

    // The second form, with and without the correction factor, reports the same map.
    for (const auto &[option, f] :
         {std::pair{Kind(1), 1.0}, std::pair{Kind(2, kScale, kHeight), kF}}) {
        CoordConvAffine2 reduced(db, &db, CoordConvParam::CalcModeNormal, 0);
        ASSERT_TRUE(reduced.Calculation(option));
        EXPECT_NEAR(reduced.GetScaleFactorX() * f, std::hypot(u(0), u(1)), 1e-12);
        EXPECT_NEAR(reduced.GetScaleFactorY() * f, std::hypot(u(2), u(3)), 1e-12);
        EXPECT_NEAR(reduced.GetRotationAngleX(), std::atan2(-u(1), u(0)) * kSecPerRad, 1e-7);
        EXPECT_NEAR(reduced.GetRotationAngleY(), std::atan2(u(2), u(3)) * kSecPerRad, 1e-7);
        EXPECT_NEAR(reduced.GetTransParaX(), u(4), 1e-6);
        EXPECT_NEAR(reduced.GetTransParaY(), u(5), 1e-6);
        EXPECT_NEAR(reduced.GetAICParam(), ReferenceAIC(6), 1e-6);
    }
}

TEST_P(ReferenceFit, NoisySimilarityAndTranslationsMatchTheReference) {
    Build(kHelmert, 0.02);
    const Eigen::VectorXd similar = Solve(3, [](const Pair &p, Eigen::RowVectorXd &rx,
                                                Eigen::RowVectorXd &ry, double &bx, double &by) {
        rx << p.y, 1.0, 0.0;
        ry << -p.x, 0.0, 1.0;
        bx = p.xd - p.x;
        by = p.yd - p.y;
    });
    CoordConvSimilar engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(engine.Calculation(Kind(2)));
    EXPECT_NEAR(engine.GetRotationAngle(), similar(0) * kSecPerRad, 1e-6);
    EXPECT_NEAR(engine.GetTransParaX(), similar(1), 1e-6);
    EXPECT_NEAR(engine.GetTransParaY(), similar(2), 1e-6);
    EXPECT_NEAR(engine.GetAICParam(), ReferenceAIC(3), 1e-6);

    // Translations: of the plain sources, and of the sources scaled by f about the centroid.
    for (const double f : {1.0, kF}) {
        const Eigen::VectorXd t = Solve(2, [f](const Pair &p, Eigen::RowVectorXd &rx,
                                               Eigen::RowVectorXd &ry, double &bx, double &by) {
            rx << 1.0, 0.0;
            ry << 0.0, 1.0;
            bx = p.xd - f * p.x;
            by = p.yd - f * p.y;
        });
        CoordConvParaTrans2 centroid(db, &db, CoordConvParam::CalcModeNormal, 0);
        ASSERT_TRUE(centroid.Calculation(f == 1.0 ? Kind(1) : Kind(2, kScale, kHeight)));
        EXPECT_NEAR(centroid.GetTransParaX(), t(0), 1e-7);
        EXPECT_NEAR(centroid.GetTransParaY(), t(1), 1e-7);
        EXPECT_NEAR(centroid.GetAICParam(), ReferenceAIC(2), 1e-6);
        if (f == 1.0) {
            CoordConvParaTrans mean(db, &db, CoordConvParam::CalcModeNormal, 0);
            ASSERT_TRUE(mean.Calculation(Kind(2)));
            EXPECT_NEAR(mean.GetTransParaX(), t(0), 1e-7);
            EXPECT_NEAR(mean.GetTransParaY(), t(1), 1e-7);
            // Its AIC counts four unknowns.
            EXPECT_NEAR(mean.GetAICParam(), ReferenceAIC(4), 1e-6);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Areas, ReferenceFit,
                         ::testing::Values(Area{"NearOrigin", 1800.0, -2500.0, true},
                                           Area{"ThirtyKmSouth", -30000.0, -7000.0, false}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace

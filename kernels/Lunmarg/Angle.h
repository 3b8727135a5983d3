#pragma once

// Unit wrappers: each holds one value in its unit and only tells Angle which
// unit a number is in.
class Radian {
  public:
    Radian() = default;
    Radian(double value) : m_value(value) {}

  private:
    friend class Angle;
    double m_value = 0.0;
};

class Degree {
  public:
    Degree() = default;
    Degree(double value) : m_value(value) {}

  private:
    friend class Angle;
    double m_value = 0.0;
};

class Second {
  public:
    Second() = default;
    Second(double value) : m_value(value) {}

  private:
    friend class Angle;
    double m_value = 0.0;
};

// A packed DMS number in whole form: degrees x 10000 + minutes x 100 + seconds.
class AngDMS {
  public:
    AngDMS() = default;
    AngDMS(double value) : m_value(value) {}

  private:
    friend class Angle;
    double m_value = 0.0;
};

// An angle held in radians. Comparisons allow the process-wide tolerance m_tiny.
class Angle {
  public:
    static const double m_PI;          // pi
    static const double m_RI;          // arc seconds per radian
    static const double m_tinyDefault; // 1e-30
    static double m_tiny;              // comparison tolerance in radians

    Angle() = default;
    Angle(const Radian &rad);
    Angle(const Degree &deg);
    Angle(const Second &sec);
    Angle(const AngDMS &dms);

    Angle &operator=(const Radian &rad);
    Angle &operator=(const Degree &deg);
    Angle &operator=(const Second &sec);
    Angle &operator=(const AngDMS &dms);

    void SetRad(double rad);
    void SetDeg(double deg);
    void SetSec(double sec);
    void SetDMS(double dms);

    double GetRad() const;
    double GetDeg() const;
    double GetSec() const;
    // Whole-form packed DMS, seconds rounded to digits decimals.
    double GetDMS(int digits) const;
    // Fraction-form packed DMS (D.MMSS).
    double GetDMS2(int digits) const;
    // Parts and whole-form packed value, seconds always rounded to 7 decimals
    // (the last argument is not used). As with RadToDMS3, a negative angle below
    // one degree gives deg 0: take the sign from the returned value.
    double GetDMS3(int *deg, int *min, double *sec, int digits) const;

    // A negative or NaN tolerance is ignored.
    static void SetTiny(double tiny);
    static double GetTiny();

    Angle operator+() const;
    Angle operator-() const;
    Angle operator+(const Angle &other) const;
    Angle operator-(const Angle &other) const;
    Angle operator*(double factor) const;
    Angle operator/(double divisor) const;

    Angle &operator+=(const Angle &other);
    Angle &operator-=(const Angle &other);
    Angle &operator*=(double factor);
    Angle &operator/=(double divisor);

    bool operator==(const Angle &other) const;
    bool operator!=(const Angle &other) const;
    bool operator<(const Angle &other) const;
    bool operator>(const Angle &other) const;
    bool operator<=(const Angle &other) const;
    bool operator>=(const Angle &other) const;

  private:
    double m_rad = 0.0;
};

#pragma once

#include "exchange/Dorrimet/CoordConvEnums.h"

class Coordinate;

// Converts one coordinate between the Tokyo datum and the new datum.
class ICoordTransformer {
  public:
    virtual ~ICoordTransformer() = default;

    // Tokyo datum to the new datum; true when *to holds a result.
    virtual bool Transform(const Coordinate &from, Coordinate *to,
                           CoordConvStatusD *status) const = 0;
    // The new datum to the Tokyo datum; false when the transformer cannot invert.
    virtual bool ReverseTransform(const Coordinate &from, Coordinate *to,
                                  CoordConvStatusD *status) const = 0;

    // An interface holds nothing: copying copies nothing.
    ICoordTransformer(const ICoordTransformer &) = default;
    ICoordTransformer &operator=(const ICoordTransformer &) = default;

  protected:
    ICoordTransformer() = default;
};

// The hand model shared by the board's hand sprites and the start-draw
// pictures: a palm-down hand built from rounded solids, posed by joint angles.
#pragma once

#include <QPointF>

#include "Splat.h"

namespace tessum::gfx {

// How far the hand is closed, as joint angles in degrees.
struct Pose {
    double mcp, pip, dip;   // finger joints, knuckle outwards
    double splay;           // spread of the fingers (1 = relaxed)
    double bunch;           // 0..1: fingertips drawn together into a pinch
    double thumb;           // 0 spread out .. 1 wrapped in front of the fingers
    double knuckle;         // knuckle line along the forward axis, from the hand's point
    double shift;           // whole hand moved sideways, towards the thumb
};

// Frames 0 (open) to 11 (closed) of the grabbing hand.
Pose GrabPose(int Frame);
// Frames 0 (open) to 4 (fingertips pinched together) of the sowing hand.
Pose SowPose(int Frame);

struct HandMaterials {
    int skin, nail, sleeve, cuff, stone;
};
// Skin and sleeve of a side: side 1 wears green, side 2 yellow, like their
// numbers on the small boards.
HandMaterials AddHandMaterials(SplatScene& Scene, int Side);

class HandBuilder {
public:
    // Hot is the hand's point, Forward the direction of the fingers.
    HandBuilder(SplatScene& S, QPointF Hot, QPointF Forward, bool RightHand);
    void Build(const Pose& Pz, const HandMaterials& M, bool Pinched, bool WithArm = true);

    // Local hand coordinates (along the fingers, towards the thumb, up) to picture.
    Vec3 P(double F, double T, double Z) const {
        const QPointF p = hot_ + f_ * F + t_ * (T - shift_);
        return {p.x(), p.y(), Z};
    }
    QPointF Dir(double F, double T) const { return f_ * F + t_ * T; }

private:
    SplatScene& s_;
    QPointF hot_, f_, t_;
    double shift_ = 0;
};

}  // namespace tessum::gfx

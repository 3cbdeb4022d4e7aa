#include "swerve/sim/internal/FieldWorld.hpp"

#include <box2d/box2d.h>

#include <algorithm>
#include <cmath>

namespace kvor::zephrin6::swerve::sim::internal {

namespace {

// Friction between a bumper and a wall or a field element: fabric on metal
// or plastic slides easily, so a glancing hit slides along.
constexpr float kFriction = 0.2f;
// The engine keeps a skin around every polygon and lets contacts settle a
// little inside it; a thinner skin than its default puts the bumper within
// a few millimetres of the wall instead of two centimetres off it. Steps of
// a millisecond move a robot by far less than the skin, so nothing tunnels.
constexpr float kSkin = 0.5f * b2_linearSlop;
// How much closer than its reach the chassis must come to something before
// the engine runs: far more than one step moves it, so that the engine has
// found the contact before it touches.
constexpr double kNearMargin = 0.05;
constexpr int32 kVelocityIterations = 8;
constexpr int32 kPositionIterations = 3;

b2PolygonShape Polygon(std::span<const Translation2d> corners) {
  b2Vec2 points[b2_maxPolygonVertices];
  const std::size_t count = std::min<std::size_t>(corners.size(), b2_maxPolygonVertices);
  for (std::size_t i = 0; i < count; ++i) {
    points[i].Set(static_cast<float>(corners[i].X().value()), static_cast<float>(corners[i].Y().value()));
  }
  b2PolygonShape shape;
  shape.Set(points, static_cast<int32>(count));
  shape.m_radius = kSkin;
  return shape;
}

void AddFixture(b2Body& body, const b2PolygonShape& shape) {
  b2FixtureDef fixture;
  fixture.shape = &shape;
  fixture.friction = kFriction;
  fixture.restitution = 0.0f;
  fixture.density = 1.0f;  // the chassis' mass data is set afterwards
  body.CreateFixture(&fixture);
}

}  // namespace

FieldWorld::FieldWorld(const SimField& field, std::span<const Translation2d> footprint,
                       std::span<const Translation2d> moduleLocations, double massKg, double inertia)
    : world_(std::make_unique<b2World>(b2Vec2(0.0f, 0.0f))),
      modules_(moduleLocations.begin(), moduleLocations.end()),
      mass_(massKg),
      inertia_(inertia),
      length_(field.Length.value()),
      width_(field.Width.value()) {
  b2BodyDef staticDef;
  b2Body* walls = world_->CreateBody(&staticDef);
  // Four thick walls just outside the rectangle, so that their inner faces
  // are its edges.
  const float l = static_cast<float>(length_), w = static_cast<float>(width_), t = 1.0f;
  const b2Vec2 halves[] = {{l / 2 + t, t / 2}, {l / 2 + t, t / 2}, {t / 2, w / 2 + t}, {t / 2, w / 2 + t}};
  const b2Vec2 centres[] = {{l / 2, -t / 2}, {l / 2, w + t / 2}, {-t / 2, w / 2}, {l + t / 2, w / 2}};
  for (int i = 0; i < 4; ++i) {
    b2PolygonShape wall;
    wall.SetAsBox(halves[i].x, halves[i].y, centres[i], 0.0f);
    wall.m_radius = kSkin;
    AddFixture(*walls, wall);
  }
  for (const auto& obstacle : field.Obstacles) {
    AddFixture(*walls, Polygon(obstacle));
    Box box{obstacle.front().X().value(), obstacle.front().Y().value(), obstacle.front().X().value(),
            obstacle.front().Y().value()};
    for (const Translation2d& c : obstacle) {
      box.minX = std::min(box.minX, c.X().value());
      box.maxX = std::max(box.maxX, c.X().value());
      box.minY = std::min(box.minY, c.Y().value());
      box.maxY = std::max(box.maxY, c.Y().value());
    }
    obstacles_.push_back(box);
  }

  b2BodyDef chassisDef;
  chassisDef.type = b2_dynamicBody;
  // A chassis pushed against a wall rests, but must answer the wheels at once.
  chassisDef.allowSleep = false;
  chassis_ = world_->CreateBody(&chassisDef);
  AddFixture(*chassis_, Polygon(footprint));
  b2MassData mass;
  mass.mass = static_cast<float>(mass_);
  mass.center.SetZero();
  mass.I = static_cast<float>(inertia_);
  chassis_->SetMassData(&mass);
  for (const Translation2d& c : footprint) reach_ = std::max(reach_, c.Norm().value());
  reach_ += kNearMargin;
}

FieldWorld::~FieldWorld() = default;

void FieldWorld::Reset() { vx_ = vy_ = omega_ = 0.0; }

bool FieldWorld::Near(const Pose2d& pose) const {
  const double x = pose.X().value(), y = pose.Y().value();
  if (x - reach_ < 0.0 || y - reach_ < 0.0 || x + reach_ > length_ || y + reach_ > width_) return true;
  return std::any_of(obstacles_.begin(), obstacles_.end(), [&](const Box& b) {
    return x + reach_ > b.minX && x - reach_ < b.maxX && y + reach_ > b.minY && y - reach_ < b.maxY;
  });
}

// Applies, at the module locations, the forces that take the chassis from
// its velocity to (vx, vy, omega) through `seconds`: the smallest set of
// forces with that sum and that torque, which for wheels spread round the
// centre shares the push evenly and the turn by each wheel's lever.
void FieldWorld::Push(const Pose2d& from, double vx, double vy, double omega, double seconds) {
  const double fx = mass_ * (vx - vx_) / seconds;
  const double fy = mass_ * (vy - vy_) / seconds;
  const double torque = inertia_ * (omega - omega_) / seconds;
  const double c = from.Rotation().Cos(), s = from.Rotation().Sin();
  double sx = 0.0, sy = 0.0, sr = 0.0;
  for (const Translation2d& m : modules_) {
    const double x = c * m.X().value() - s * m.Y().value(), y = s * m.X().value() + c * m.Y().value();
    sx += x;
    sy += y;
    sr += x * x + y * y;
  }
  // Forces f_i = (a - y_i k, b + x_i k) for the multipliers (a, b, k) of
  //   [ n    0   -sy ] [a]   [fx]
  //   [ 0    n    sx ] [b] = [fy]
  //   [-sy   sx   sr ] [k]   [torque]
  const double n = static_cast<double>(modules_.size());
  const double spread = n * sr - sx * sx - sy * sy;  // 0 when every wheel stands at one point
  const b2Vec2 origin(static_cast<float>(from.X().value()), static_cast<float>(from.Y().value()));
  if (!(spread > 1e-9 * n * sr)) {
    // Fewer than two wheels apart: push at the centre and turn directly.
    chassis_->ApplyForceToCenter(b2Vec2(static_cast<float>(fx), static_cast<float>(fy)), true);
    chassis_->ApplyTorque(static_cast<float>(torque), true);
    return;
  }
  const double k = (n * torque + sy * fx - sx * fy) / spread;
  const double a = (fx + sy * k) / n;
  const double b = (fy - sx * k) / n;
  for (const Translation2d& m : modules_) {
    const double x = c * m.X().value() - s * m.Y().value(), y = s * m.X().value() + c * m.Y().value();
    const b2Vec2 force(static_cast<float>(a - y * k), static_cast<float>(b + x * k));
    chassis_->ApplyForce(force, origin + b2Vec2(static_cast<float>(x), static_cast<float>(y)), true);
  }
}

bool FieldWorld::Move(const Pose2d& from, Pose2d& to, double& turned, double seconds, ChassisSpeeds& speeds) {
  const double vx = (to.X() - from.X()).value() / seconds;
  const double vy = (to.Y() - from.Y()).value() / seconds;
  const double omega = turned / seconds;
  const bool near = Near(from) || Near(to);
  if (!near) {
    vx_ = vx, vy_ = vy, omega_ = omega;
    return false;
  }
  const double heading = from.Rotation().Radians().value();
  chassis_->SetTransform(b2Vec2(static_cast<float>(from.X().value()), static_cast<float>(from.Y().value())),
                         static_cast<float>(heading));
  chassis_->SetLinearVelocity(b2Vec2(static_cast<float>(vx_), static_cast<float>(vy_)));
  chassis_->SetAngularVelocity(static_cast<float>(omega_));
  Push(from, vx, vy, omega, seconds);
  world_->Step(static_cast<float>(seconds), kVelocityIterations, kPositionIterations);

  bool touching = false;
  for (b2ContactEdge* edge = chassis_->GetContactList(); edge != nullptr && !touching; edge = edge->next) {
    touching = edge->contact->IsTouching();
  }
  if (!touching) {
    vx_ = vx, vy_ = vy, omega_ = omega;
    return false;
  }
  const b2Vec2 position = chassis_->GetPosition();
  const b2Vec2 velocity = chassis_->GetLinearVelocity();
  vx_ = velocity.x, vy_ = velocity.y, omega_ = chassis_->GetAngularVelocity();
  turned = static_cast<double>(chassis_->GetAngle()) - heading;
  to = Pose2d(units::length::meter_t{position.x}, units::length::meter_t{position.y},
              Rotation2d(units::angle::radian_t{heading + turned}));
  // Robot-relative: the field velocity turned back by the heading.
  const double c = std::cos(heading + turned), s = std::sin(heading + turned);
  speeds = ChassisSpeeds{units::velocity::meters_per_second_t{c * vx_ + s * vy_},
                         units::velocity::meters_per_second_t{-s * vx_ + c * vy_},
                         units::angular_velocity::radians_per_second_t{omega_}};
  return true;
}

}  // namespace kvor::zephrin6::swerve::sim::internal

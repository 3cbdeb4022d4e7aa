package com.kvor.zephrin6.swerve;

import java.util.ArrayList;
import java.util.List;
import java.util.Objects;

/**
 * The field a simulated robot drives on (see {@link SwerveDrivetrain#setSimField}): a walled
 * rectangle with one corner at the origin of field coordinates (x along the length, y along the
 * width), convex obstacles in it, and the chassis that hits them. A plain value: public fields with
 * the C++ defaults and {@code with...} setters. Polygons are corners as x, y pairs in metres, 3 to
 * 8 corners, convex, in either winding order; the drivetrain refuses a field it cannot simulate.
 */
public final class SimField {
    /** Length of the walled rectangle (x), metres. */
    public double length = 16.54;
    /** Width of the walled rectangle (y), metres. */
    public double width = 8.07;
    /** How far the bumpers stand out beyond the module locations, metres (when no outline is given). */
    public double bumperMargin = 0.15;
    /** Mass of the whole robot, kilograms. */
    public double chassisMass = 60.0;
    /** Moment of inertia about the robot's centre, kg m^2; 0 for a uniform plate filling the outline. */
    public double chassisMomentOfInertia = 0.0;
    /** The bumper outline in robot coordinates (x forward, y left) as x, y pairs; empty for the rectangle. */
    public double[] bumperFootprint = new double[0];
    /** The obstacles, each its corners as x, y pairs in field coordinates. */
    public final List<double[]> obstacles = new ArrayList<>();

    /** Sets the length; returns this field. */
    public SimField withLength(double metres) {
        length = metres;
        return this;
    }

    /** Sets the width; returns this field. */
    public SimField withWidth(double metres) {
        width = metres;
        return this;
    }

    /** Sets the bumper margin; returns this field. */
    public SimField withBumperMargin(double metres) {
        bumperMargin = metres;
        return this;
    }

    /** Sets the robot's mass; returns this field. */
    public SimField withChassisMass(double kilograms) {
        chassisMass = kilograms;
        return this;
    }

    /** Sets the robot's moment of inertia (0 for the plate's); returns this field. */
    public SimField withChassisMomentOfInertia(double kilogramSquareMetres) {
        chassisMomentOfInertia = kilogramSquareMetres;
        return this;
    }

    /** Sets the bumper outline, x, y pairs in robot coordinates; returns this field. */
    public SimField withBumperFootprint(double... xy) {
        bumperFootprint = Objects.requireNonNull(xy, "xy").clone();
        return this;
    }

    /** Adds an obstacle, its corners as x, y pairs in field coordinates; returns this field. */
    public SimField withObstacle(double... xy) {
        obstacles.add(Objects.requireNonNull(xy, "xy").clone());
        return this;
    }
}

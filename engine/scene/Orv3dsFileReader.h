#ifndef ORV_SCENE_ORV3DSFILEREADER_H
#define ORV_SCENE_ORV3DSFILEREADER_H

// The engine's one door to lib3ds (1.3): reads a 3DS file and hands back plain data
// (Orv3dsFileContent) that depends on no library. No other part of the engine includes a
// lib3ds header or calls lib3ds.
//
// How a file is read:
// 1. The whole file is read into memory (at most Orv3dsFileCheck::MaxFileBytes).
// 2. Orv3dsFileCheck walks its chunks and refuses a damaged file with a description (a
//    vertex or texture coordinate that is not a finite number, and a texture name that is no
//    file name, among the damage).
// 3. lib3ds reads the checked copy of the file from memory (its io callbacks), never the file
//    itself, so it only meets chunks whose every length, count and index was checked.
// 4. Meshes and materials are put back in file order (lib3ds sorts both by name), face
//    materials named by string are turned into indices, and the normals of every face corner
//    come from lib3ds_mesh_calculate_normals, or from Orv3dsCornerNormals for meshes that
//    function cannot be given safely. Both sum the faces' own normals, which are lib3ds's
//    unless its float arithmetic overflowed for that face (Orv3dsFaceNormal works those out
//    again), so every corner normal is a finite unit vector. lib3ds moves the vertices of a
//    mesh whose matrix mirrors through that matrix and its inverse: a position that this
//    makes infinite or NaN refuses the file like one stored so.
//
// Errors are raised as OrvException:
// - "Unable to load .3ds file: " + path when the file is missing, not a regular file, or
//   cannot be read;
// - the same text, ": " and what is wrong when it is damaged (for example "Unable to load
//   .3ds file: ../data/ship.3ds: chunk 0x4120 at byte 650 says 65535 faces but holds room for
//   12", or "...: vertex 7 of mesh 'Hull' lies at a position that is not a finite number").
// Nothing is kept between calls; lib3ds's records are freed before any function returns.

#include "scene/Orv3dsFileContent.h"

#include <string>

class OrvDataFolder;

class Orv3dsFileReader {
public:
    // The text every loading error starts with.
    static const char* const ErrorPrefix;

    // Reads `name` from the data folder: the script's file name.
    static Orv3dsFileContent ReadDataFile(const OrvDataFolder& files, const std::string& name);
    // Reads the file at `path` as given; messages name it as `shown` (by default the path).
    static Orv3dsFileContent ReadFile(const std::string& path);
    static Orv3dsFileContent ReadFile(const std::string& path, const std::string& shown);
    // Reads a file's content already in memory; `path` only names it in error messages.
    static Orv3dsFileContent ReadBytes(const std::string& bytes, const std::string& path);
};

#endif

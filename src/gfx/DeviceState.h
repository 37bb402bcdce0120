#pragma once

#include "gfx/Vector3.h"

#include <cstdint>

// Which triangles are culled, judged by their winding on the screen (y down):
// CounterClockwise removes the triangles whose corners run counter-clockwise.
enum class CullMode { None, Clockwise, CounterClockwise };

enum class CompareFunction { Never, Less, Equal, LessEqual, Greater, NotEqual, GreaterEqual, Always };

// Where the specular colour of lighting comes from.
enum class MaterialSource { Material, VertexColour };

// How texture stage 0 combines its arguments.
enum class TextureOperation { Disable, SelectFirst, Modulate };
enum class TextureArgument { Texture, Diffuse };

struct ColourValue {
  float r = 0.f;
  float g = 0.f;
  float b = 0.f;
  float a = 0.f;

  bool operator==(const ColourValue &) const = default;
};

struct Material {
  ColourValue diffuse;
  ColourValue ambient;
  ColourValue specular;
  ColourValue emissive;
  float power = 0.f;

  bool operator==(const Material &) const = default;
};

enum class LightType { Point, Spot, Directional };

struct Light {
  LightType type = LightType::Directional;
  ColourValue diffuse;
  ColourValue specular;
  ColourValue ambient;
  Vector3 position;
  Vector3 direction;
  float range = 0.f;
  float falloff = 0.f;
  float attenuation0 = 0.f;
  float attenuation1 = 0.f;
  float attenuation2 = 0.f;
  float theta = 0.f;
  float phi = 0.f;

  bool operator==(const Light &) const = default;
};

// The render states the program sets, kept on the CPU side of the device and
// readable at any time. Values after construction are the device's defaults
// before the program's own defaults are applied.
struct DeviceState {
  bool zEnable = true;
  bool zWriteEnable = true;
  bool alphaTestEnable = false;
  uint32_t alphaRef = 0;
  CompareFunction alphaFunc = CompareFunction::Always;
  bool alphaBlendEnable = false;
  // Ambient light colour, 0xAARRGGBB.
  uint32_t ambient = 0;
  bool lighting = true;
  CullMode cullMode = CullMode::CounterClockwise;
  bool normalizeNormals = false;
  MaterialSource specularMaterialSource = MaterialSource::VertexColour;

  Material material;
  Light light0;
  bool light0Enabled = false;

  TextureOperation colourOp = TextureOperation::Modulate;
  TextureArgument colourArg1 = TextureArgument::Texture;
  TextureArgument colourArg2 = TextureArgument::Diffuse;
  TextureOperation alphaOp = TextureOperation::SelectFirst;
  TextureArgument alphaArg1 = TextureArgument::Texture;
};

#include "editorimages.h"

#include "embeddedresources.h"

#include <gtest/gtest.h>

namespace QuorvaneTest
{

DecodedImage loadEditorImage(const std::string& name)
{
    const unsigned char* data = nullptr;
    size_t size = 0;
    if (!Quorvane::findResource(name.c_str(), &data, &size))
    {
        ADD_FAILURE() << name << " is not embedded";
        return {};
    }
    auto image = DecodedImage::fromPng(data, size);
    if (!image)
    {
        ADD_FAILURE() << name << " does not decode as PNG";
        return {};
    }
    return *image;
}

} // namespace QuorvaneTest

// The shadow-mapping helpers that need no GL context: the 4 x 4 inverse and the framebuffer messages.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/resources/ShadowMapping.h"

namespace libkub {
namespace {

Matrix4f multiply(const Matrix4f& a, const Matrix4f& b)
{
    Matrix4f product;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += static_cast<double>(a[k * 4 + row]) * b[column * 4 + k];
            }
            product[column * 4 + row] = static_cast<float>(sum);
        }
    }
    return product;
}

Matrix4f randomMatrix(std::mt19937& generator)
{
    std::uniform_real_distribution<float> value(-10.0f, 10.0f);
    Matrix4f matrix;
    for (float& element : matrix.m) {
        element = value(generator);
    }
    return matrix;
}

TEST(InvertMatrix, IdentityGivesIdentity)
{
    Matrix4f inverse;
    ASSERT_TRUE(invertMatrix(Matrix4f::identity(), inverse));
    EXPECT_EQ(inverse.m, Matrix4f::identity().m);
}

TEST(InvertMatrix, SingularMatrixLeavesOutputUntouched)
{
    Matrix4f singular = Matrix4f::identity();
    singular[5] = 0.0f; // a zero row and column
    Matrix4f output;
    for (int i = 0; i < 16; ++i) {
        output[i] = 42.0f + i;
    }
    const Matrix4f before = output;
    EXPECT_FALSE(invertMatrix(singular, output));
    EXPECT_EQ(output.m, before.m);

    Matrix4f repeatedColumns = Matrix4f::identity();
    for (int row = 0; row < 4; ++row) {
        repeatedColumns[4 + row] = repeatedColumns[row] = static_cast<float>(row + 1);
    }
    EXPECT_FALSE(invertMatrix(repeatedColumns, output));
    EXPECT_EQ(output.m, before.m);
}

TEST(InvertMatrix, ProductWithInverseIsIdentity)
{
    std::mt19937 generator(20261208);
    for (int trial = 0; trial < 200; ++trial) {
        const Matrix4f matrix = multiply(randomMatrix(generator), randomMatrix(generator));
        Matrix4f inverse;
        ASSERT_TRUE(invertMatrix(matrix, inverse));
        const Matrix4f product = multiply(matrix, inverse);
        for (int i = 0; i < 16; ++i) {
            EXPECT_NEAR(product[i], Matrix4f::identity()[i], 2e-3f) << "trial " << trial << " element " << i;
        }
    }
}

TEST(InvertMatrix, RigidViewInvertsExactlyEnough)
{
    // A look-at style view: rotation about y by 30 degrees, then a translation.
    const float c = 0.8660254f;
    const float s = 0.5f;
    Matrix4f view = Matrix4f::identity();
    view[0] = c;
    view[2] = -s;
    view[8] = s;
    view[10] = c;
    view[12] = 3.0f;
    view[13] = -4.0f;
    view[14] = -11.0f;
    Matrix4f inverse;
    ASSERT_TRUE(invertMatrix(view, inverse));
    const Matrix4f product = multiply(view, inverse);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(product[i], Matrix4f::identity()[i], 1e-5f) << "element " << i;
    }
    // The eye of the view sits at -R^T t.
    EXPECT_NEAR(inverse[12], -(c * 3.0f + -s * -11.0f), 1e-5f);
    EXPECT_NEAR(inverse[13], 4.0f, 1e-5f);
    EXPECT_NEAR(inverse[14], -(s * 3.0f + c * -11.0f), 1e-5f);
}

struct StatusCase {
    GLenum status;
    const char* message;
};

TEST(FramebufferStatus, EachStatusPrintsOnlyItsOwnMessageWithoutLineEnd)
{
    const StatusCase cases[] = {
        {GL_FRAMEBUFFER_COMPLETE_EXT, ""},
        {GL_FRAMEBUFFER_UNSUPPORTED_EXT, "Frame buffer extension not supported."},
        {GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT, "Incomplete attachments"},
        {GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT, "Incomplete dimensions"},
        {GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT, "Incomplete drw buffer"},
        {GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT, "incomplete formats"},
        {GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT, "incomplete attachments"},
        {GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT, "Incomplete read buffer"},
        {0, "Logic error"},
        {GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE, "Logic error"},
    };
    for (const StatusCase& c : cases) {
        testing::internal::CaptureStdout();
        printFramebufferStatus(c.status);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.message) << "status 0x" << std::hex << c.status;
    }
}

TEST(FramebufferStatus, RepeatedMessagesRunTogetherOnOneLine)
{
    testing::internal::CaptureStdout();
    printFramebufferStatus(GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT);
    printFramebufferStatus(GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Incomplete dimensionsIncomplete dimensions");
}

} // namespace
} // namespace libkub

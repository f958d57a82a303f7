// A program that links one library and nothing else, so that its link line
// shows what that library pulls in.
int main()
{
    return 0;
}

void vrel__main() {
int vrel__x;
void vrel__inc(int *vrel__p) {

}
vrel__inc(&(vrel__x + 1 ));
vrel__inc(&(vrel__x ));

}
int main() {
	vrel__main();
}



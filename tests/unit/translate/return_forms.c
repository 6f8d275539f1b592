void vrel__main() {
int vrel__f(int vrel__x) {
return (vrel__x );

}
return;

}
int main() {
	vrel__main();
}



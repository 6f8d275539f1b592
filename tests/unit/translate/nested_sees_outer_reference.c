void vrel__main() {
void vrel__outer(int *vrel__p) {
void vrel__inner() {
int vrel__y;
vrel__y = (*vrel__p);
(*vrel__p)= vrel__y ;

}
void vrel__shadow(int vrel__p) {
vrel__p = 0 ;

}

}

}
int main() {
	vrel__main();
}


